// SPDX-License-Identifier: GPL-2.0-or-later
// The window for those who use it without a mouse, with a screen reader or
// with a large font, and the status line that says what Apply did, against
// a live, a stopped and a dead IBus daemon.
#include "app/MainWidget.h"
#include "app/MainWindow.h"
#include "config/Config.h"
#include "config/ConfigBus.h"
#include "support/IBusDaemon.h"
#include "support/TestSupport.h"
#include "support/WordLibBuilder.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>
#include <QTranslator>
#include <QtTest>

namespace
{
/// The name a screen reader says: that of the label the control is
/// labelled by, or its own.
QString spokenName(QAccessibleInterface *node)
{
    if (!node)
        return QString();
    const auto labels = node->relations(QAccessible::Label);
    return labels.isEmpty() ? node->text(QAccessible::Name)
                            : labels.first().first->text(QAccessible::Name);
}

QString spokenName(QWidget *widget)
{
    return spokenName(QAccessible::queryAccessibleInterface(widget));
}

/// "role name" of every visible control below @p object that a user acts
/// on.
QStringList controls(QObject *object)
{
    static const QMap<QAccessible::Role, QString> roles = {
        {QAccessible::CheckBox, "check box"},
        {QAccessible::ComboBox, "combo box"},
        {QAccessible::PushButton, "button"},
        {QAccessible::RadioButton, "radio button"},
        {QAccessible::Table, "table"},
        {QAccessible::PageTab, "tab"},
        {QAccessible::Grouping, "group"}};
    QStringList found;
    std::function<void(QAccessibleInterface *)> walk =
        [&](QAccessibleInterface *node) {
            const QAccessible::Role role = node->role();
            const auto *widget = qobject_cast<QWidget *>(node->object());
            const bool visible =
                widget ? widget->isVisible() : !node->state().invisible;
            if (roles.contains(role) && visible)
                found << roles.value(role) + ' ' + spokenName(node);
            for (int i = 0;
                 role != QAccessible::Table && i < node->childCount(); ++i)
                walk(node->child(i));
        };
    walk(QAccessible::queryAccessibleInterface(object));
    return found;
}

/// The status line as a screen reader has it.
QString statusOf(const QWidget &widget)
{
    auto *label = widget.findChild<QLabel *>(QStringLiteral("statusLine"));
    return label ? QAccessible::queryAccessibleInterface(label)->text(
                       QAccessible::Name)
                 : QStringLiteral("?");
}

bool showsWholeText(const QLabel *label)
{
    const QSize needed = label->sizeHint();
    return needed.width() <= label->width() &&
           needed.height() <= label->height();
}

/// IBus away from the window's open on: nothing it is sent arrives.
struct UnreachableConfigBus : RecordingConfigBus {
    bool isReachable() override { return false; }
    bool commitDelivered() const override { return delivered; }
    bool delivered = false;
};
} // namespace

class TestUsability : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void keyboardAlone();
    void dialogKeys_data();
    void dialogKeys();
    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void libraryRowsSpeak();
    void radioRowsTakeTabAtTheCheckedButton();
    void pagesBuiltAfterTheFirstFrameKeepTheTabOrder_data();
    void pagesBuiltAfterTheFirstFrameKeepTheTabOrder();
    void unreachableIBusIsSaidUntilACommitArrives_data();
    void unreachableIBusIsSaidUntilACommitArrives();
    void oneEnglishName();
    void largeFontsFit_data();
    void largeFontsFit();
    void removalWaitsForIBus_data();
    void removalWaitsForIBus();
    void statusLineTellsTheTruth_data();
    void statusLineTellsTheTruth();

private:
    /// The container with two user libraries, shown and active.
    void showContainer();
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    IBusDaemon m_daemon;
    QString m_daemonWhyNot;
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<RecordingConfigBus> m_bus;
    std::unique_ptr<RecordingMainWidget> m_widget;
};

void TestUsability::initTestCase()
{
    m_daemonWhyNot = m_daemon.start();
    QVERIFY(ConfigBus::instance()->init());
    QString whyNot; // the table lists the system libraries too
    QVERIFY2(!emptySystemWordLibDir(&whyNot).isEmpty(), qPrintable(whyNot));
}

void TestUsability::init()
{
    m_home = std::make_unique<TemporaryHome>();
    const QString dir = Config::wordLibDirPath(WordLibDirPathUser);
    QVERIFY(writeWordLib(dir + QStringLiteral("user.qlb"), "用户"));
    QVERIFY(writeWordLib(dir + QStringLiteral("a.qlb"), "地名"));
}

void TestUsability::cleanup()
{
    m_widget.reset();
    m_bus.reset();
    m_home.reset();
}

void TestUsability::showContainer()
{
    m_widget = std::make_unique<RecordingMainWidget>();
    m_widget->show();
    m_widget->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_widget.get()));
    QCoreApplication::processEvents(); // what waits for the first frame
}

void TestUsability::press(int key, Qt::KeyboardModifiers modifiers)
{
    // Through the window system, which offers the key to shortcuts first,
    // and to an open list rather than to the window below it.
    QWidget *popup = QApplication::activePopupWidget();
    QTest::keyClick((popup ? popup : m_widget.get())->windowHandle(),
                    Qt::Key(key), modifiers);
}

void TestUsability::keyboardAlone()
{
    m_bus = std::make_unique<RecordingConfigBus>();
    showContainer();
    m_widget->findChild<QTabWidget *>()->setFocus();
    QStringList announced; // each focus change, as a screen reader says it
    connect(qApp, &QApplication::focusChanged, m_widget.get(),
            [&](QWidget *, QWidget *now) {
                if (now)
                    announced << spokenName(now);
            });
    press(Qt::Key_Tab); // into 常用: the candidate count
    press(Qt::Key_Down);
    // Each tab change from within a page lands on the new page's first
    // control, or on the tabs when it has none.
    press(Qt::Key_Tab, Qt::ControlModifier); // 词库: the table, first row
    press(Qt::Key_Down);
    press(Qt::Key_Space); // a.qlb, from whatever column
    press(Qt::Key_Tab);   // out of the table again
    QVERIFY(!qobject_cast<QTableWidget *>(QApplication::focusWidget()));
    press(Qt::Key_PageDown, Qt::ControlModifier); // 高级: 智能组词
    press(Qt::Key_Space);
    press(Qt::Key_Tab, Qt::ControlModifier);                     // 关于
    press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier); // 高级
    press(Qt::Key_PageUp, Qt::ControlModifier);                  // 词库
    press(Qt::Key_PageUp, Qt::ControlModifier);                  // 常用
    QCOMPARE(m_widget->findChild<QTabWidget *>()->currentIndex(), 0);
    press(Qt::Key_Tab);
    press(Qt::Key_Return); // 确定, from the candidate count

    QCOMPARE(m_bus->calls, BusCalls({{"candidateCount", 9},
                                     {"wordLibNames", "user.qlb;a.qlb"},
                                     {"enableIntelligentWord", 0}}));
    QVERIFY(!m_widget->isVisible());
    QCOMPARE(announced, QStringList({"候选词个数", "词库列表", "添加",
                                     "智能组词", "关于", "候选词个数"}));
}

void TestUsability::dialogKeys_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("focus"); // object name or button text
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("popup"); // shown before the key
    QTest::addColumn<bool>("committed");
    QTest::addColumn<bool>("closed");
    const int esc = Qt::Key_Escape;
    QTest::newRow("Esc is 取消")
        << 0 << "comboboxCandidateCount" << esc << "" << false << true;
    QTest::newRow("Esc closes an open list only")
        << 0 << "comboboxCandidateCount" << esc << "list" << false << false;
    QTest::newRow("Esc closes a tooltip only")
        << 0 << "comboboxCandidateCount" << esc << "tooltip" << false << false;
    QTest::newRow("Enter on a focused 取消")
        << 0 << "取消" << int(Qt::Key_Return) << "" << false << true;
    QTest::newRow("Enter on a check box is 确定")
        << 2 << "checkboxEnableIMode" << int(Qt::Key_Enter) << "" << true
        << true;
}

void TestUsability::dialogKeys()
{
    QFETCH(int, tab);
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, popup);
    QFETCH(bool, committed);
    QFETCH(bool, closed);
    m_bus = std::make_unique<RecordingConfigBus>();
    showContainer();
    m_widget->findChild<QComboBox *>("comboboxCandidateCount")
        ->setCurrentIndex(2);
    m_widget->findChild<QTabWidget *>()->setCurrentIndex(tab);
    QWidget *target = m_widget->findChild<QWidget *>(focus);
    for (QAbstractButton *button : m_widget->findChildren<QAbstractButton *>())
        if (button->text() == focus)
            target = button;
    target->setFocus();
    if (popup == "list")
        qobject_cast<QComboBox *>(target)->showPopup();
    else if (popup == "tooltip")
        QToolTip::showText(target->mapToGlobal(QPoint()), "提示", target);
    press(key);
    QCOMPARE(m_widget->isVisible(), !closed);
    QTRY_VERIFY(!QApplication::activePopupWidget() && !QToolTip::isVisible());
    QCOMPARE(m_bus->calls.isEmpty(), !committed);
}

void TestUsability::everyControlIsNamed_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("expected");
    const QStringList buttons = {"button 恢复本页默认设置", "button 确定",
                                 "button 取消", "button 应用"};
    QTest::newRow("常用")
        << 0
        << QStringList{"combo box 候选词个数", "group 字频调整",
                       "radio button 固定",    "radio button 快速",
                       "radio button 慢速",    "group 词频调整",
                       "radio button 固定",    "radio button 快速",
                       "radio button 慢速"} +
               buttons;
    QTest::newRow("词库") << 1
                          << QStringList{"table 词库列表", "button 添加",
                                         "button 删除"} +
                                 buttons;
    QTest::newRow("高级") << 2
                          << QStringList{"check box 智能组词",
                                         "check box i字母开头进入数字单位模式",
                                         "check box B字母开头进入笔画输入模式",
                                         "check box 使用自定义短语",
                                         "combo box 自定义短语显示位置"} +
                                 buttons;
    QTest::newRow("关于") << 3 << QStringList{"button 确定"};
}

void TestUsability::everyControlIsNamed()
{
    QFETCH(int, tab);
    QFETCH(QStringList, expected);
    m_bus = std::make_unique<RecordingConfigBus>();
    showContainer();
    auto *tabs = m_widget->findChild<QTabWidget *>();
    tabs->setCurrentIndex(tab);
    QStringList found = controls(m_widget.get());
    const QStringList tabNames = found.filter(QRegularExpression("^tab "));
    QCOMPARE(tabNames,
             QStringList({"tab 常用", "tab 词库", "tab 高级", "tab 关于"}));
    for (const QString &name : tabNames)
        found.removeOne(name);
    QCOMPARE(found, expected);
}

void TestUsability::libraryRowsSpeak()
{
    m_bus = std::make_unique<RecordingConfigBus>();
    showContainer();
    auto *table = m_widget->findChild<QTableWidget *>();
    QAccessibleTableInterface *cells =
        QAccessible::queryAccessibleInterface(table)->tableInterface();
    QAccessibleInterface *forced = cells->cellAt(0, 0);
    QAccessibleInterface *free = cells->cellAt(1, 0);
    QVERIFY(forced->state().checked && !forced->state().checkable);
    QVERIFY(forced->text(QAccessible::Description).contains("总是启用"));
    QVERIFY(free->state().checkable && !free->state().checked);

    table->setFocus();
    table->setCurrentCell(1, 2); // from the file-name column
    press(Qt::Key_Space);
    QVERIFY(free->state().checked);
    // The announcement itself needs a platform bridge: the window test
    // listens for it on a real AT-SPI bus.
}

void TestUsability::radioRowsTakeTabAtTheCheckedButton()
{
    m_bus = std::make_unique<RecordingConfigBus>();
    showContainer();
    // Into rows not entered yet: forward from the candidate count, back
    // from the buttons.
    m_widget->findChild<QComboBox *>("comboboxCandidateCount")->setFocus();
    press(Qt::Key_Tab);
    QStringList focused = {QApplication::focusWidget()->objectName()};
    for (QPushButton *button : m_widget->findChildren<QPushButton *>())
        if (button->text() == "恢复本页默认设置")
            button->setFocus();
    for (const auto &key : QVector<QPair<int, Qt::KeyboardModifiers>>{
             {Qt::Key_Tab, Qt::ShiftModifier},
             {Qt::Key_Tab, Qt::ShiftModifier},
             {Qt::Key_Tab, {}},
             {Qt::Key_Right, {}}}) {
        press(key.first, key.second);
        focused << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(focused, QStringList({"radioZiRateFast", "radioCiRateFast",
                                   "radioZiRateFast", "radioCiRateFast",
                                   "radioCiRateSlow"}));
}

void TestUsability::pagesBuiltAfterTheFirstFrameKeepTheTabOrder_data()
{
    QTest::addColumn<int>("chosenTab");
    QTest::newRow("常用") << 0;
    // Chosen, and its reset pressed, as a screen reader does it: without
    // an input event, on a window not drawn yet.
    QTest::newRow("词库 chosen before the first frame") << 1;
}

void TestUsability::pagesBuiltAfterTheFirstFrameKeepTheTabOrder()
{
    QFETCH(int, chosenTab);
    m_bus = std::make_unique<RecordingConfigBus>();
    // Every control in the order Tab passes it, as a screen reader names it.
    const auto tabOrder = [chosenTab](MainWidget::Build build) {
        MainWidget widget(nullptr, build);
        auto *tabs = widget.findChild<QTabWidget *>();
        tabs->setCurrentIndex(chosenTab);
        for (QPushButton *button : widget.findChildren<QPushButton *>())
            if (button->text() == "恢复本页默认设置")
                button->click();
        // The first input, on what is on show, builds the pages.
        QTest::keyClick(tabs->currentWidget(), Qt::Key_Shift);
        widget.show();
        if (!QTest::qWaitForWindowExposed(&widget))
            return QStringList{"not shown"};
        QCoreApplication::processEvents(); // what waits for the first frame
        QStringList order = {tabs->tabText(tabs->currentIndex())};
        for (QWidget *next = widget.nextInFocusChain(); next != &widget;
             next = next->nextInFocusChain()) {
            if (next->focusPolicy() != Qt::NoFocus)
                order << spokenName(next);
        }
        return order;
    };
    QCOMPARE(tabOrder(MainWidget::Build::FirstPageFirst),
             tabOrder(MainWidget::Build::AllPages));
}

void TestUsability::unreachableIBusIsSaidUntilACommitArrives_data()
{
    QTest::addColumn<bool>("keyFirst");
    QTest::newRow("once drawn") << false;
    QTest::newRow("a key before anything else") << true;
}

void TestUsability::unreachableIBusIsSaidUntilACommitArrives()
{
    QFETCH(bool, keyFirst);
    auto *bus = new UnreachableConfigBus;
    m_bus.reset(bus);
    const QString line = "未连接到 IBus：更改仍会保存，输入法下次启动时读取。";
    if (keyFirst) { // no event handled before the key
        m_widget = std::make_unique<RecordingMainWidget>();
        m_widget->show();
        QTest::keyClick(m_widget.get(), Qt::Key_Shift);
        QCOMPARE(statusOf(*m_widget), line);
    }
    showContainer();
    QTRY_COMPARE(statusOf(*m_widget), line);
    m_widget->findChild<QComboBox *>("comboboxCandidateCount")->setFocus();
    for (bool delivered : {false, true}) {
        bus->delivered = delivered;
        press(Qt::Key_Up);
        m_widget->onButtonApplyClicked();
        press(Qt::Key_Up); // the status goes with the next edit
        QTRY_COMPARE(statusOf(*m_widget), delivered ? QString() : line);
    }
}

void TestUsability::oneEnglishName()
{
    QTranslator english;
    QVERIFY(english.load(QUILMO_EN_CATALOGUE));
    const QByteArray title =
        english.translate("MainWindow", "墨岚拼音输入法设置").toUtf8();
    for (const char *name :
         {"quilmo-config.desktop.in", "quilmo-config.metainfo.xml",
          "quilmo-config.1.in"}) {
        QFile file(QUILMO_DATA_DIR + QString(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.readAll().contains(title), name);
    }
}

void TestUsability::largeFontsFit_data()
{
    QTest::addColumn<int>("points"); // 0: the normal font
    QTest::addColumn<bool>("english");
    for (bool english : {false, true}) {
        const QString language = english ? "English, " : "";
        QTest::newRow(qPrintable(language + "normal font")) << 0 << english;
        QTest::newRow(qPrintable(language + "16 pt")) << 16 << english;
        QTest::newRow(qPrintable(language + "20 pt")) << 20 << english;
    }
    // More than the screen holds: the buttons must stay within reach.
    QTest::newRow("48 pt") << 48 << false;
}

void TestUsability::largeFontsFit()
{
    QFETCH(int, points);
    QFETCH(bool, english);
    QTranslator catalogue;
    if (english) {
        QVERIFY(catalogue.load(QUILMO_EN_CATALOGUE));
        QCoreApplication::installTranslator(&catalogue);
    }
    // The longest status texts: IBus away at open, then after Apply.
    m_bus = std::make_unique<UnreachableConfigBus>();
    const struct FontKept {
        QFont normal = QApplication::font();
        ~FontKept() { QApplication::setFont(normal); }
    } kept;
    QFont font = kept.normal;
    if (points)
        font.setPointSize(points);
    QApplication::setFont(font);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *status = window.findChild<QLabel *>("statusLine");
    QTRY_VERIFY(!status->text().isEmpty()); // said once the window is drawn

    QCOMPARE(window.minimumSize(), window.maximumSize()); // never resizable
    // This platform's font draws the English pages a few pixels too wide.
    QVERIFY(points || english || window.size() == QSize(600, 400));
    const QSize screen = window.screen()->availableSize();
    QVERIFY(window.width() <= screen.width() &&
            window.height() <= screen.height());
    // Squeezed into the screen, some labels have to give.
    const bool fits = window.minimumSizeHint().width() <= screen.width() &&
                      window.minimumSizeHint().height() <= screen.height();
    auto *tabs = window.findChild<QTabWidget *>();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents(); // the page's layout
        for (QWidget *widget : window.findChildren<QWidget *>()) {
            if (!widget->isVisible())
                continue;
            const QRect area(widget->mapTo(&window, QPoint()), widget->size());
            const bool button = qobject_cast<QPushButton *>(widget);
            QVERIFY2(window.rect().contains(area) || (!fits && !button),
                     qPrintable(widget->metaObject()->className()));
            auto *label = qobject_cast<QLabel *>(widget);
            if (label && fits)
                QVERIFY2(showsWholeText(label), qPrintable(label->text()));
        }
    }
    QVERIFY(status->isVisible());
    window.findChild<QComboBox *>("comboboxCandidateCount")->setCurrentIndex(2);
    window.findChild<MainWidget *>()->onButtonApplyClicked();
    QCoreApplication::processEvents(); // the line's new height
    QVERIFY2(showsWholeText(status) || !fits, qPrintable(status->text()));
}

void TestUsability::statusLineTellsTheTruth_data()
{
    QTest::addColumn<QString>("daemon");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("again"); // 应用 with no edit, the daemon back
    const QString nothing = "没有需要应用的更改";
    const QString undelivered = "已保存，但 IBus 未收到";
    QTest::newRow("nothing to apply") << "live" << false << nothing << nothing;
    QTest::newRow("live daemon") << "live" << true << "已应用" << nothing;
    // What the engine missed goes again.
    QTest::newRow("stopped daemon")
        << "stopped" << true << undelivered << "已应用";
    QTest::newRow("dead daemon")
        << "dead" << true << undelivered << undelivered;
}

void TestUsability::statusLineTellsTheTruth()
{
    QFETCH(QString, daemon);
    QFETCH(bool, edit);
    QFETCH(QString, status);
    QFETCH(QString, again);
    QUILMO_REQUIRE_SERVICE(m_daemonWhyNot);
    showContainer();
    auto *count = m_widget->findChild<QComboBox *>("comboboxCandidateCount");
    if (edit)
        count->setCurrentIndex(count->currentIndex() == 2 ? 3 : 2);
    if (daemon == QLatin1String("stopped"))
        m_daemon.pause();
    else if (daemon == QLatin1String("dead"))
        m_daemon.kill();

    m_widget->onButtonApplyClicked();
    m_daemon.resume();
    QCOMPARE(statusOf(*m_widget), status);
    QVERIFY(QFileInfo::exists(Config::configFilePath()) || !edit);
    m_widget->onButtonApplyClicked();
    QCOMPARE(statusOf(*m_widget), again);

    // The next edit takes it away.
    count->setFocus();
    press(Qt::Key_Down);
    QTRY_COMPARE(statusOf(*m_widget), QString());
}

void TestUsability::removalWaitsForIBus_data()
{
    QTest::addColumn<QString>("daemon"); // when the button is pressed
    QTest::addColumn<QString>("button"); // 应用 is followed by 确定
    QTest::addColumn<bool>("removed");   // else kept, and the user told
    // Once IBus has the selection without it: the 确定 sends it again.
    const QStringList removed = {"running 应用", "running 确定",
                                 "stopped 应用"};
    for (const QString daemon : {"running", "stopped", "absent"})
        for (const QString button : {"应用", "确定", "取消"}) {
            const QString row = daemon + ' ' + button;
            QTest::newRow(qPrintable(row))
                << daemon << button << removed.contains(row);
        }
}

void TestUsability::removalWaitsForIBus()
{
    QFETCH(QString, daemon);
    QFETCH(QString, button);
    QFETCH(bool, removed);
    QUILMO_REQUIRE_SERVICE(m_daemonWhyNot);
    QVERIFY(writeSettings("[wordlib]\nnames=\"user.qlb;a.qlb\"\n"));
    showContainer();
    using ButtonList = QList<QAbstractButton *>;
    QStringList told;
    QTimer boxes; // the question is answered 删除; the others are read
    connect(&boxes, &QTimer::timeout, [&told] {
        auto *box =
            qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        for (QAbstractButton *choice : box ? box->buttons() : ButtonList())
            if (box->buttonRole(choice) == QMessageBox::DestructiveRole)
                return choice->click();
        if (box) {
            told << box->text();
            box->accept();
        }
    });
    boxes.start(20);
    const auto click = [this](const QString &text) {
        for (QPushButton *button : m_widget->findChildren<QPushButton *>())
            if (button->text() == text)
                return button->click();
    };
    auto *table = m_widget->findChild<QTableWidget *>();
    table->setCurrentItem(table->findItems("a.qlb", Qt::MatchExactly).value(0));
    click("删除");
    if (daemon == QStringLiteral("stopped"))
        m_daemon.pause();
    else if (daemon == QStringLiteral("absent")) // as a bus that reaches none
        m_bus = std::make_unique<UnreachableConfigBus>();
    click(button);
    m_daemon.resume();
    if (button == QStringLiteral("应用"))
        click("确定");

    const QString file = Config::wordLibDirPath(WordLibDirPathUser) + "a.qlb";
    QCOMPARE(QFile::exists(file), !removed);
    QCOMPARE(told, removed ? QStringList()
                           : QStringList{"词库文件没有删除，仍在词库目录中。\n"
                                         "删除要在应用之后、IBus 收到不含它的"
                                         "词库选择时才进行。"});
    if (removed) // the engine no longer names it
        QCOMPARE(m_daemon.value("wordLibNames"), BusValue("user.qlb"));
}

QTEST_MAIN(TestUsability)
#include "tst_usability.moc"
