// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_PAGEHELPERS_H
#define QUILMO_PAGEHELPERS_H

#include <QString>

#include <initializer_list>
#include <optional>

class QBoxLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QMessageBox;
class QVariant;
class QWidget;

/// Building blocks the settings pages share.
namespace PageHelpers
{
/// The candidate counts the engine knows run from 1 to this.
const int maxCandidateCount = 9;
/// The count used when none is stored, or an unusable one.
const int defaultCandidateCount = 8;

/// A section heading: the label's own font, in bold.
QLabel *headingLabel(const QString &text);

/// Ends a row with a spacer that takes the remaining width.
void addTrailingSpacer(QBoxLayout *row);
/// A row of @p widgets, left-aligned by a trailing spacer.
QHBoxLayout *rowWithSpacer(std::initializer_list<QWidget *> widgets);
/// Groups the controls of @p row under @p name for screen readers; the
/// group draws nothing and leaves no room for a frame.
QGroupBox *namedRow(const QString &name, QHBoxLayout *row);
/// A label that names @p control, for screen readers and its shortcut.
QLabel *buddyLabel(const QString &text, QWidget *control);
/// A modal error box with one button, 确定, as every failure the tool
/// reports; @p details goes below @p text when given.
void showFailure(QWidget *parent, const QString &title, const QString &text,
                 const QString &details = QString());
/// Shows the texts of @p box as they are, never as markup: they may hold
/// file names and library names. Call it after setting the texts.
void usePlainText(QMessageBox &box);
/// Pushes everything above it to the top of the page.
void addFinalSpacer(QBoxLayout *layout);

/// The integer in a stored value; nothing when it is absent or no number.
std::optional<int> toInt(const QVariant &value);
/// A candidate count the engine knows (1 to 9); nothing otherwise. It sizes
/// the list of display positions, which a huge stored number would make
/// loop and allocate without end.
std::optional<int> toCandidateCount(const QVariant &value);
/// The list index of a stored candidate count (count - 1), however large;
/// nothing for the least int, whose index would not exist.
std::optional<int> toCandidateIndex(const QVariant &value);

} // namespace PageHelpers

#endif
