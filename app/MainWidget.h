// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_MAINWIDGET_H
#define QUILMO_MAINWIDGET_H

#include <QMap>
#include <QString>
#include <QWidget>

struct SaveResult;
class QPushButton;
class QTabWidget;
class TabWidgetBase;

/**
 * @brief The settings container: four pages in tabs and the button bar.
 *
 * The only place where settings are committed. OK and Apply pull every
 * page's edits with apply(), write each result under the page's group and
 * broadcast it with settingChanged().
 */
class MainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MainWidget(QWidget *parent = nullptr);

    /// Writes one page's committed settings under @p group. Settings that
    /// could not be written are kept and written again with the next call,
    /// so a full disk or a read-only file loses nothing the user chose.
    /// @return why the file could not be written, if it could not.
    SaveResult saveConfig(const QString &group,
                          const QMap<QString, QString> &settings);

Q_SIGNALS:
    void settingChanged(QMap<QString, QString> settings);

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

private:
    /// Applies and saves every page in tab order; false if a save failed.
    bool commitPages();
    TabWidgetBase *pageAt(int index) const;
    void setButtonsForAboutPage(bool aboutPage);

    QTabWidget *m_tabWidget = nullptr;
    QPushButton *m_buttonReset = nullptr;
    QPushButton *m_buttonOk = nullptr;
    QPushButton *m_buttonCancel = nullptr;
    QPushButton *m_buttonApply = nullptr;
    /// Group -> settings that a failed write could not store yet.
    QMap<QString, QMap<QString, QString>> m_unsavedSettings;
};

#endif
