// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_MAINWIDGET_H
#define QUILMO_MAINWIDGET_H

#include <QList>
#include <QMap>
#include <QString>
#include <QWidget>

struct SaveResult;
using SettingsGroups = QMap<QString, QMap<QString, QString>>;
class QLabel;
class QPushButton;
class QTabWidget;
class TabWidgetAbout;
class TabWidgetBase;
class TabWidgetSpecial;

/**
 * @brief The settings container: four pages in tabs and the button bar.
 *
 * The only place where settings are committed. OK and Apply pull every
 * page's edits with apply(), broadcast each result with settingChanged()
 * and then write them all, each under its page's group, in one replace of
 * the settings file. After Apply a status line above the button bar tells
 * what happened; it goes with the next edit. Without IBus at open (asked
 * once the first frame is drawn) it says so until a commit reaches IBus.
 *
 * Keys as in a dialog: Enter is OK unless the focused control uses it,
 * Esc is Cancel, Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDown and Ctrl+PgUp
 * change the tab wherever the focus is.
 */
class MainWidget : public QWidget
{
    Q_OBJECT
public:
    /// Which pages the constructor builds: all of them, or only the first
    /// one, which is all that a window's first frame shows; the others are
    /// then built right after that frame, before any input is handled.
    enum class Build { AllPages, FirstPageFirst };

    explicit MainWidget(QWidget *parent = nullptr,
                        Build build = Build::AllPages);

    /// Writes every page's committed settings (group -> settings) in one
    /// replace of the settings file. Settings that could not be written are
    /// kept and written again with the next call, so a full disk or a
    /// read-only file loses nothing the user chose.
    /// @return why the file could not be written, if it could not.
    SaveResult saveConfig(const SettingsGroups &committed);

Q_SIGNALS:
    void settingChanged(QMap<QString, QString> settings);
    /// The pages after the first are built (Build::FirstPageFirst only).
    void remainingPagesAdded();

public Q_SLOTS:
    void onButtonOkClicked();
    void onButtonApplyClicked();
    void onButtonCancelClicked();
    void onButtonResetClicked();
    void onTabCurrentChanged(int index);

protected:
    /// Tells the user the settings file at @p path could not be written,
    /// and why. A seam for tests, which cannot answer a modal message box.
    virtual void showSaveFailure(const QString &path, const QString &reason);
    /// Enter clicks OK and Esc is Cancel when no focused control, open list
    /// or tooltip took the key.
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    /// Clears the status line once an edit is pending; lets the pages tell
    /// what they drop when the window closes.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// What one commit did, for the status line.
    enum class Outcome {
        NothingToApply,
        Applied,
        SavedNotDelivered,
        Incomplete, ///< stored, but a page could not finish (a removal)
        Failed
    };

    /// Puts the pages after the first in place of their placeholder tabs.
    void addRemainingPages();
    QLabel *buildStatusLine();
    QWidget *buildButtonBar();
    void addTabShortcuts();
    void switchTab(int step);
    /// Applies and saves every page in tab order.
    Outcome commitPages();
    void showOutcome(Outcome outcome);
    /// What the status line says between commits.
    QString restingStatus() const;
    void showStatus(const QString &text, const QString &details = QString());
    bool hasPendingChanges() const;
    /// A value stored by an earlier commit has not reached IBus yet.
    bool hasUndeliveredSettings() const;
    void setButtonsForAboutPage(bool aboutPage);

    QTabWidget *m_tabWidget = nullptr;
    QPushButton *m_buttonReset = nullptr;
    QPushButton *m_buttonOk = nullptr;
    QPushButton *m_buttonCancel = nullptr;
    QPushButton *m_buttonApply = nullptr;
    QLabel *m_statusLabel = nullptr;
    /// The pages in tab order.
    QList<TabWidgetBase *> m_pages;
    TabWidgetSpecial *m_specialPage = nullptr;
    TabWidgetAbout *m_aboutPage = nullptr;
    /// Group -> settings that a failed write could not store yet.
    SettingsGroups m_unsavedSettings;
    /// IBus could not be reached at open and no commit has reached it yet.
    bool m_busUnreachable = false;
};

#endif
