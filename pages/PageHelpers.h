// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_PAGEHELPERS_H
#define QUILMO_PAGEHELPERS_H

#include <QMap>
#include <QString>

#include <initializer_list>
#include <optional>

class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QVariant;
class QWidget;

/// Building blocks the settings pages share.
namespace PageHelpers
{
/// A section heading: the label's own font, in bold.
QLabel *headingLabel(const QString &text);

/// Ends a row with a spacer that takes the remaining width.
void addTrailingSpacer(QBoxLayout *row);
/// A row of @p widgets, left-aligned by a trailing spacer.
QHBoxLayout *rowWithSpacer(std::initializer_list<QWidget *> widgets);
/// Pushes everything above it to the top of the page.
void addFinalSpacer(QBoxLayout *layout);

/// The integer in a stored value; nothing when it is absent or no number.
std::optional<int> toInt(const QVariant &value);
/// A candidate count. The least int is refused as well: the list index
/// derived from it (count - 1) would not exist.
std::optional<int> toCandidateCount(const QVariant &value);

/// Sends @p value to the engine and puts its decimal text under @p fileKey
/// into @p result, the map a page's apply() returns.
void commitInt(const QString &busName, int value, const QString &fileKey,
               QMap<QString, QString> &result);
/// The same for a checkbox's pending value: 1/"1" when it reads ticked,
/// else 0/"0".
void commitFlag(const QString &pendingValue, const QString &busName,
                const QString &fileKey, QMap<QString, QString> &result);
} // namespace PageHelpers

#endif
