// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/MainWidget.h"

#include "app/FirstFrame.h"
#include "app/TabWidgetBase.h"
#include "config/Config.h"
#include "config/ConfigBus.h"
#include "config/SettingsFile.h"
#include "pages/PageHelpers.h"
#include "pages/TabWidgetAbout.h"
#include "pages/TabWidgetBasic.h"
#include "pages/TabWidgetSpecial.h"
#include "pages/TabWidgetWordLib.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace
{
// Each on one line at 600 pixels; the tooltip says more.
const char *const appliedText = QT_TRANSLATE_NOOP("MainWidget", "已应用");
const char *const notDeliveredText =
    QT_TRANSLATE_NOOP("MainWidget", "已保存，但 IBus 未收到");
const char *const notDeliveredDetails = QT_TRANSLATE_NOOP(
    "MainWidget",
    "设置已写入设置文件，但 IBus 没有收到新设置（它可能没有运行）。"
    "输入法下次启动时会读取新设置。");
const char *const nothingToApplyText =
    QT_TRANSLATE_NOOP("MainWidget", "没有需要应用的更改");
const char *const failedText = QT_TRANSLATE_NOOP("MainWidget", "保存失败");
const char *const incompleteText =
    QT_TRANSLATE_NOOP("MainWidget", "部分更改未能完成");
const char *const unreachableText = QT_TRANSLATE_NOOP(
    "MainWidget", "未连接到 IBus：更改仍会保存，输入法下次启动时读取。");
const char *const unreadableText =
    QT_TRANSLATE_NOOP("MainWidget", "无法读取设置文件，窗口中是默认设置");

/// The widgets below @p root that take the focus, in the order Tab passes
/// them; a page's widgets follow it in the chain as they were built.
QList<QWidget *> focusableWidgets(QWidget *root)
{
    QList<QWidget *> found;
    for (QWidget *next = root->nextInFocusChain(); root->isAncestorOf(next);
         next = next->nextInFocusChain()) {
        if (next->focusPolicy() != Qt::NoFocus)
            found.append(next);
    }
    return found;
}

QPushButton *newButton(const QString &text)
{
    auto *button = new QPushButton(text);
    // As in a dialog: Enter clicks the focused button.
    button->setAutoDefault(true);
    return button;
}
} // namespace

MainWidget::MainWidget(QWidget *parent, Build build) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);

    m_tabWidget = new QTabWidget(this);
    m_pages = {new TabWidgetBasic(m_tabWidget)};
    const QStringList titles = {tr("常用"), tr("词库"), tr("高级"), tr("关于")};
    m_tabWidget->addTab(m_pages.first(), titles.first());
    // The tab bar shows every title from the first frame on.
    for (int i = 1; i < titles.size(); ++i)
        m_tabWidget->addTab(new QWidget, titles.at(i));
    if (build == Build::AllPages)
        addRemainingPages();
    layout->addWidget(m_tabWidget);
    layout->addWidget(buildStatusLine());
    layout->addWidget(buildButtonBar());

    connect(m_buttonOk, &QPushButton::clicked, this,
            &MainWidget::onButtonOkClicked);
    connect(m_buttonApply, &QPushButton::clicked, this,
            &MainWidget::onButtonApplyClicked);
    connect(m_buttonReset, &QPushButton::clicked, this,
            &MainWidget::onButtonResetClicked);
    connect(m_buttonCancel, &QPushButton::clicked, this,
            &MainWidget::onButtonCancelClicked);
    connect(m_tabWidget, &QTabWidget::currentChanged, this,
            &MainWidget::onTabCurrentChanged);
    addTabShortcuts();
    // Asking may wait for IBus: not before the window is on screen.
    runAfterFirstFrame(this, [this, build] {
        if (build == Build::FirstPageFirst) {
            addRemainingPages();
            Q_EMIT remainingPagesAdded();
        }
        m_busUnreachable = !ConfigBus::instance()->isReachable();
        showStatus(restingStatus());
    });
}

void MainWidget::addRemainingPages()
{
    auto *wordLibPage = new TabWidgetWordLib(m_tabWidget);
    m_specialPage = new TabWidgetSpecial(m_tabWidget);
    m_aboutPage = new TabWidgetAbout(m_tabWidget);
    m_aboutPage->setObjectName(QStringLiteral("aboutPage"));
    const QList<TabWidgetBase *> pages = {wordLibPage, m_specialPage,
                                          m_aboutPage};
    // Built after the buttons, a page would come after them when Tab is
    // pressed; Tab passes the pages first, as they stand in the tab bar.
    const QList<QWidget *> firstPage = focusableWidgets(m_pages.first());
    // A placeholder may be chosen without input (a screen reader's action)
    // before it is replaced: its removal would choose the next tab.
    const int chosen = m_tabWidget->currentIndex();
    QWidget *previous = firstPage.isEmpty() ? nullptr : firstPage.last();
    for (TabWidgetBase *page : pages) {
        const int index = m_pages.size();
        QWidget *placeholder = m_tabWidget->widget(index);
        m_tabWidget->insertTab(index, page, m_tabWidget->tabText(index));
        m_tabWidget->removeTab(index + 1);
        // The input that led here may be on its way to it.
        placeholder->deleteLater();
        for (QWidget *widget : focusableWidgets(page)) {
            QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
        m_pages.append(page);
    }
    m_tabWidget->setCurrentIndex(chosen);
    connect(this, &MainWidget::settingChanged, m_specialPage,
            &TabWidgetSpecial::onSettingChanged);
}

QLabel *MainWidget::buildStatusLine()
{
    // A line of its own, the window's width: room for the whole text at
    // any font size. Its accessible name is its text, so a new text is
    // announced.
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("statusLine"));
    return m_statusLabel;
}

QWidget *MainWidget::buildButtonBar()
{
    auto *buttonBar = new QWidget(this);
    auto *buttonLayout = new QHBoxLayout(buttonBar);
    m_buttonReset = newButton(tr("恢复本页默认设置"));
    m_buttonOk = newButton(tr("确定"));
    m_buttonCancel = newButton(tr("取消"));
    m_buttonApply = newButton(tr("应用"));
    buttonLayout->addWidget(m_buttonReset);
    buttonLayout->addItem(
        new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Fixed));
    buttonLayout->addWidget(m_buttonOk);
    buttonLayout->addWidget(m_buttonCancel);
    buttonLayout->addWidget(m_buttonApply);
    return buttonBar;
}

void MainWidget::addTabShortcuts()
{
    // Shortcuts come before the focused control, which may use the keys
    // itself (the word-library table did).
    const QList<QPair<QKeySequence, int>> keys = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto &key : keys) {
        const int step = key.second;
        connect(new QShortcut(key.first, this), &QShortcut::activated, this,
                [this, step] { switchTab(step); });
    }
}

void MainWidget::switchTab(int step)
{
    QWidget *focus = QApplication::focusWidget();
    const bool focusInPage = m_tabWidget->currentWidget()->isAncestorOf(focus);
    // Hiding the page would first hand the focus to the next control outside
    // it, and a screen reader would announce that one too.
    if (focusInPage)
        focus->clearFocus();
    const int count = m_tabWidget->count();
    m_tabWidget->setCurrentIndex((m_tabWidget->currentIndex() + step + count) %
                                 count);
    // From within a page to the first control of the next; from the tabs
    // (or the buttons) the focus stays where it is.
    QWidget *page = m_tabWidget->currentWidget();
    for (QWidget *next = page->nextInFocusChain(); focusInPage && next != page;
         next = next->nextInFocusChain()) {
        if (page->isAncestorOf(next) && next->isVisible() &&
            next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    if (focusInPage)
        m_tabWidget->setFocus(Qt::TabFocusReason); // a page without controls
}

void MainWidget::keyPressEvent(QKeyEvent *event)
{
    // Only keys that no focused control or open list took arrive here.
    const int key = (event->modifiers() & ~Qt::KeypadModifier) == 0
                        ? event->key()
                        : Qt::Key_unknown;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        m_buttonOk->click();
    else if (key == Qt::Key_Escape && QToolTip::isVisible())
        QToolTip::hideText();
    else if (key == Qt::Key_Escape)
        onButtonCancelClicked();
    else
        QWidget::keyPressEvent(event);
}

bool MainWidget::hasPendingChanges() const
{
    return std::any_of(
        m_pages.cbegin(), m_pages.cend(),
        [](const TabWidgetBase *page) { return page->hasPendingChanges(); });
}

bool MainWidget::hasUndeliveredSettings() const
{
    return std::any_of(m_pages.cbegin(), m_pages.cend(),
                       [](const TabWidgetBase *page) {
                           return page->hasUndeliveredSettings();
                       });
}

MainWidget::Outcome MainWidget::commitPages()
{
    const bool pending = hasPendingChanges() || hasUndeliveredSettings() ||
                         !m_unsavedSettings.isEmpty();
    ConfigBus *bus = ConfigBus::instance();
    bus->beginCommit();
    SettingsGroups committed;
    for (TabWidgetBase *page : qAsConst(m_pages)) {
        const QMap<QString, QString> result = page->apply();
        committed.insert(page->name(), result);
        // Also on OK: the special page keeps its position within a count
        // committed in the same step, so OK stores what Apply would.
        Q_EMIT settingChanged(result);
        // The next page logs lines of its own: this page's bus lines, and
        // those of the special page's reaction, come before them.
        bus->settle();
    }
    const SaveResult saved = saveConfig(committed);
    bool finished = true;
    for (TabWidgetBase *page : qAsConst(m_pages))
        finished = page->finishCommit(saved.saved(), bus->commitDelivered()) &&
                   finished;
    if (!saved.saved()) {
        showSaveFailure(Config::configFilePath(), saved.reason());
        return Outcome::Failed;
    }
    if (!finished)
        return Outcome::Incomplete;
    if (!pending)
        return Outcome::NothingToApply;
    return bus->commitDelivered() ? Outcome::Applied
                                  : Outcome::SavedNotDelivered;
}

void MainWidget::showOutcome(Outcome outcome)
{
    const char *text = appliedText;
    const char *details = "";
    switch (outcome) {
    case Outcome::NothingToApply:
        text = nothingToApplyText;
        break;
    case Outcome::Applied:
        break;
    case Outcome::SavedNotDelivered:
        text = notDeliveredText;
        details = notDeliveredDetails;
        break;
    case Outcome::Incomplete:
        text = incompleteText;
        break;
    case Outcome::Failed:
        text = failedText;
        break;
    }
    if (outcome == Outcome::Applied)
        m_busUnreachable = false;
    showStatus(tr(text), *details ? tr(details) : QString());
    qApp->installEventFilter(this);
}

QString MainWidget::restingStatus() const
{
    // Asked each time: a save that succeeds makes the file usable.
    const SaveResult problem = SettingsFile::readProblem();
    if (problem.cause != SaveResult::Saved)
        return tr(unreadableText) + QLatin1Char('\n') + problem.reason();
    return m_busUnreachable ? tr(unreachableText) : QString();
}

void MainWidget::showStatus(const QString &text, const QString &details)
{
    m_statusLabel->setText(text);
    m_statusLabel->setToolTip(details); // also the accessible description
}

void MainWidget::showEvent(QShowEvent *event)
{
    // The window that holds us, however it closes: its close button, 确定,
    // 取消 or Esc.
    window()->installEventFilter(this);
    QWidget::showEvent(event);
}

bool MainWidget::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Close && watched == window()) {
        for (TabWidgetBase *page : qAsConst(m_pages))
            page->dropPending();
    }
    // After the event has done its work, which may have been an edit.
    if (type == QEvent::KeyRelease || type == QEvent::MouseButtonRelease ||
        type == QEvent::Wheel) {
        QTimer::singleShot(0, this, [this] {
            if (!hasPendingChanges())
                return;
            showStatus(restingStatus());
            qApp->removeEventFilter(this);
        });
    }
    return QWidget::eventFilter(watched, event);
}

void MainWidget::onButtonOkClicked()
{
    // What did not succeed stays on screen, to be tried again.
    const Outcome outcome = commitPages();
    if (outcome == Outcome::Failed || outcome == Outcome::Incomplete)
        showOutcome(outcome);
    else
        QApplication::closeAllWindows();
}

void MainWidget::onButtonApplyClicked()
{
    showOutcome(commitPages());
}

void MainWidget::onButtonCancelClicked()
{
    QApplication::closeAllWindows();
}

void MainWidget::onButtonResetClicked()
{
    // A page not built yet shows its settings as stored.
    if (TabWidgetBase *page = m_pages.value(m_tabWidget->currentIndex()))
        page->reset();
}

void MainWidget::onTabCurrentChanged(int index)
{
    setButtonsForAboutPage(m_tabWidget->widget(index) == m_aboutPage);
}

void MainWidget::setButtonsForAboutPage(bool aboutPage)
{
    m_buttonApply->setVisible(!aboutPage);
    m_buttonCancel->setVisible(!aboutPage);
    m_buttonReset->setVisible(!aboutPage);
    m_buttonOk->setVisible(true);
}

SaveResult MainWidget::saveConfig(const SettingsGroups &committed)
{
    SettingsGroups pending = std::exchange(m_unsavedSettings, {});
    for (auto group = committed.cbegin(); group != committed.cend(); ++group) {
        for (auto it = group->cbegin(); it != group->cend(); ++it)
            pending[group.key()].insert(it.key(), it.value());
    }
    if (pending.isEmpty())
        return {}; // opening the file would change nothing

    const SaveResult result = SettingsFile::write(pending);
    if (!result.saved())
        m_unsavedSettings = pending;
    return result;
}

void MainWidget::showSaveFailure(const QString &path, const QString &reason)
{
    PageHelpers::showFailure(
        this, tr("保存失败"),
        tr("无法写入设置文件：%1\n原因：%2").arg(path, reason));
}
