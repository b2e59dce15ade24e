// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_LOGGING_H
#define QUILMO_LOGGING_H

#include <QLoggingCategory>

/// The category of every trace of the tool: QT_LOGGING_RULES="quilmo.debug=
/// false" silences them.
Q_DECLARE_LOGGING_CATEGORY(quilmoLog)

/// Prints the tool's traces as they always read, without the "quilmo: "
/// that Qt's default format puts before a named category; whatever else
/// the message handler does (QT_MESSAGE_PATTERN, journald) stays.
void printTracesWithoutCategory();

#endif
