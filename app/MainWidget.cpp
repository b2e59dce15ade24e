// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/MainWidget.h"

#include "app/TabWidgetBase.h"
#include "config/Config.h"
#include "config/ConfigBus.h"
#include "config/SettingsFile.h"
#include "pages/TabWidgetAbout.h"
#include "pages/TabWidgetBasic.h"
#include "pages/TabWidgetSpecial.h"
#include "pages/TabWidgetWordLib.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{
const char *const aboutPageName = "aboutPage";
}

MainWidget::MainWidget(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);

    m_tabWidget = new QTabWidget(this);
    m_tabWidget->addTab(new TabWidgetBasic(m_tabWidget),
                        QStringLiteral("常用"));
    m_tabWidget->addTab(new TabWidgetWordLib(m_tabWidget),
                        QStringLiteral("词库"));
    auto *specialPage = new TabWidgetSpecial(m_tabWidget);
    m_tabWidget->addTab(specialPage, QStringLiteral("高级"));
    auto *aboutPage = new TabWidgetAbout(m_tabWidget);
    aboutPage->setObjectName(QLatin1String(aboutPageName));
    m_tabWidget->addTab(aboutPage, QStringLiteral("关于"));
    layout->addWidget(m_tabWidget);

    auto *buttonBar = new QWidget(this);
    auto *buttonLayout = new QHBoxLayout(buttonBar);
    m_buttonReset = new QPushButton(QStringLiteral("恢复本页默认设置"));
    m_buttonOk = new QPushButton(QStringLiteral("确定"));
    m_buttonCancel = new QPushButton(QStringLiteral("取消"));
    m_buttonApply = new QPushButton(QStringLiteral("应用"));
    buttonLayout->addWidget(m_buttonReset);
    buttonLayout->addItem(
        new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Fixed));
    buttonLayout->addWidget(m_buttonOk);
    buttonLayout->addWidget(m_buttonCancel);
    buttonLayout->addWidget(m_buttonApply);
    layout->addWidget(buttonBar);

    connect(m_buttonOk, &QPushButton::clicked, this,
            &MainWidget::onButtonOkClicked);
    connect(m_buttonApply, &QPushButton::clicked, this,
            &MainWidget::onButtonApplyClicked);
    connect(m_buttonReset, &QPushButton::clicked, this,
            &MainWidget::onButtonResetClicked);
    connect(m_buttonCancel, &QPushButton::clicked, this,
            &MainWidget::onButtonCancelClicked);
    connect(this, &MainWidget::settingChanged, specialPage,
            &TabWidgetSpecial::onSettingChanged);
    connect(m_tabWidget, &QTabWidget::currentChanged, this,
            &MainWidget::onTabCurrentChanged);
}

TabWidgetBase *MainWidget::pageAt(int index) const
{
    return static_cast<TabWidgetBase *>(m_tabWidget->widget(index));
}

bool MainWidget::commitPages()
{
    ConfigBus::instance()->beginCommit();
    SaveResult firstFailure;
    for (int i = 0; i < m_tabWidget->count(); ++i) {
        TabWidgetBase *page = pageAt(i);
        const QMap<QString, QString> result = page->apply();
        const SaveResult saved = saveConfig(page->name(), result);
        if (firstFailure.saved())
            firstFailure = saved;
        // Also on OK: the special page keeps its position within a count
        // committed in the same step, so OK stores what Apply would.
        Q_EMIT settingChanged(result);
    }
    if (!firstFailure.saved())
        showSaveFailure(Config::configFilePath(), firstFailure.reason());
    return firstFailure.saved();
}

void MainWidget::onButtonOkClicked()
{
    if (commitPages())
        QApplication::closeAllWindows();
}

void MainWidget::onButtonApplyClicked()
{
    commitPages();
}

void MainWidget::onButtonCancelClicked()
{
    QApplication::closeAllWindows();
}

void MainWidget::onButtonResetClicked()
{
    static_cast<TabWidgetBase *>(m_tabWidget->currentWidget())->reset();
}

void MainWidget::onTabCurrentChanged(int index)
{
    const QWidget *page = m_tabWidget->widget(index);
    setButtonsForAboutPage(page &&
                           page->objectName() == QLatin1String(aboutPageName));
}

void MainWidget::setButtonsForAboutPage(bool aboutPage)
{
    m_buttonApply->setVisible(!aboutPage);
    m_buttonCancel->setVisible(!aboutPage);
    m_buttonReset->setVisible(!aboutPage);
    m_buttonOk->setVisible(true);
}

SaveResult MainWidget::saveConfig(const QString &group,
                                  const QMap<QString, QString> &settings)
{
    QMap<QString, QString> pending = m_unsavedSettings.take(group);
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        pending.insert(it.key(), it.value());
    if (pending.isEmpty())
        return {}; // opening the file would change nothing

    const SaveResult result = SettingsFile::write(group, pending);
    if (!result.saved())
        m_unsavedSettings.insert(group, pending);
    return result;
}

void MainWidget::showSaveFailure(const QString &path, const QString &reason)
{
    QMessageBox box(
        QMessageBox::Critical, QStringLiteral("保存失败"),
        QStringLiteral("无法写入设置文件：%1\n原因：%2").arg(path, reason),
        QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}
