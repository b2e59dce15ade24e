// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_ERRORTEXT_H
#define QUILMO_ERRORTEXT_H

#include <QString>

/// Why a file operation failed, as a sentence for the user. Every message
/// that gives a cause ("原因：…") takes its wording from here.
namespace ErrorText
{
/// What the failed operation did to the file: the same errno reads
/// differently for a file that could not be read and one that could not
/// be written.
enum class Access { Reading, Writing };

/// The sentence for the errno value @p error.
QString reason(int error, Access access = Access::Writing);
} // namespace ErrorText

#endif
