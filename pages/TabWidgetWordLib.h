// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TABWIDGETWORDLIB_H
#define QUILMO_TABWIDGETWORDLIB_H

#include "app/TabWidgetBase.h"

#include <QHash>
#include <QStringList>

#include <array>

class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class WordLibOrder;
struct WordLibHeader;

/**
 * @brief The "词库" page: the word libraries of the per-user and the system
 * directory in a table, the active ones ticked, and an add button that
 * copies a library into the per-user directory.
 *
 * Its one setting, "names", is the selection string: the file names of the
 * ticked rows in table order, joined with ";". A library the user added
 * can be removed: its row goes at once, its file with the next commit,
 * after the selection without it.
 *
 * The keyboard moves by rows: Tab leaves the table, Space ticks the
 * current row from any column.
 */
class TabWidgetWordLib : public TabWidgetBase
{
    Q_OBJECT
public:
    explicit TabWidgetWordLib(QWidget *parent);

    /// The selection string of the table as it is now.
    QString selectedWordLibNames() const;

    /// Sends the selection also without an edit while a removal waits for
    /// the engine to take it. @see TabWidgetBase::apply()
    QMap<QString, QString> apply() override;
    /// Removes the files of the libraries removed, once the selection
    /// without them is stored and delivered; a file that cannot go, or
    /// that is no longer the one confirmed, comes back to the table.
    /// @see TabWidgetBase::finishCommit()
    bool finishCommit(bool stored, bool delivered) override;
    /// Tells which files stay, since their removal did not happen.
    /// @see TabWidgetBase::dropPending()
    void dropPending() override;
    /// @see TabWidgetBase::reset()
    void reset() override;
    /// Also a removal waiting for its commit.
    bool hasPendingChanges() const override;

    /// The active file names as stored when the page was built; sets the
    /// rows that start ticked and the order of the table (WordLibOrder).
    static QStringList s_wordLibNames;

public Q_SLOTS:
    void onTableItemChanged(QTableWidgetItem *item);
    void onAddWordLibButtonClicked();
    void onRemoveWordLibButtonClicked();

protected:
    /// @see TabWidgetBase::commitFor()
    std::optional<Commit> commitFor(const QString &key,
                                    const QString &value) override;
    /// Asks for the library to add; a null string when cancelled. A seam
    /// for tests, which cannot answer a modal dialog.
    virtual QString chooseWordLibFile();
    /// Tells the user why the library @p file was not added. A seam for
    /// tests.
    virtual void showAddFailure(const QString &text, const QString &file);
    /// Asks whether to remove the library @p name in @p file. A seam for
    /// tests.
    virtual bool confirmRemoval(const QString &name, const QString &file);
    /// Tells the user why the library @p file could not be removed. A seam
    /// for tests.
    virtual void showRemoveFailure(const QString &text, const QString &file);
    /// Space ticks the current row; focus on the table makes a row current.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpTable();
    void fillTable(const WordLibOrder &order,
                   const QHash<QString, WordLibHeader> &headers);
    /// Why the user cannot change the tick of the listed library at
    /// @p path, a text of the row; null when they can.
    static const char *lockReason(const QString &path);
    /// Puts the items of one library into @p row; a row @p locked (for the
    /// reason given) has a check box the user cannot change.
    void fillRow(int row, const QString &fileName, const WordLibHeader &header,
                 Qt::CheckState checkState, const char *locked);
    /// Copies @p file to @p target in the per-user directory, which is made
    /// if missing, with a progress dialog that can cancel it.
    /// @return 0, ECANCELED, or the errno of the failure.
    int copyIntoUserDir(const QString &file, const QString &target);
    /// Copies @p file into the per-user directory and appends its row.
    /// @return an empty string, or the message for the user.
    QString addWordLib(const QString &file);
    /// Appends the row of the library at @p path, user-checkable whatever
    /// its name (an added library starts unticked: adding leaves the
    /// selection as it is).
    void appendRow(const QString &path, const WordLibHeader &header,
                   Qt::CheckState checkState = Qt::Unchecked);
    /// A library the user added: in the per-user directory, not user.qlb.
    bool isRemovable(int row) const;
    void updateRemoveButton();
    void toggleCurrentRow();
    void announceCheckState(const QTableWidgetItem *item);
    /// Removes @p path; a file already gone counts.
    /// @return 0, or the errno of the failure.
    static int removeFile(const QString &path);

    QTableWidget *m_tableWidget = nullptr;
    QPushButton *m_removeButton = nullptr;
    /// Where the file dialog opens: the folder of the last library chosen.
    QString m_lastDirectory;
    /// Device, inode, size and modification time (s, ns) of a file: what
    /// tells the file confirmed for removal from one put in its place.
    using FileIdentity = std::array<qint64, 5>;
    /// A row removed whose file waits for the engine to take the selection
    /// without it.
    struct PendingRemoval {
        QString path;
        Qt::CheckState checkState;
        FileIdentity identity;
    };
    bool isWaitingForRemoval(const QString &fileName) const;
    /// Puts the row of @p removal back, ticked as @p checkState.
    void restoreRow(const PendingRemoval &removal, Qt::CheckState checkState);
    /// Tells the user @p text about the files at @p paths, which stay.
    void showKept(const QString &text, QStringList paths);
    QList<PendingRemoval> m_pendingRemovals;
    /// Absolute paths of the rows, in table order.
    QStringList m_wordLibPaths;
    /// The selection string as stored in the settings file.
    QString m_savedWordLibNames;
};

#endif
