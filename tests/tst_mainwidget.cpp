// SPDX-License-Identifier: GPL-2.0-or-later
// The settings container: the commit loop behind OK and Apply, with the
// special page following a committed count, Cancel, Reset, the about-page
// button rule, and the about page itself.
#include "app/MainWidget.h"
#include "app/TabWidgetBase.h"
#include "config/Config.h"
#include "pages/TabWidgetAbout.h"
#include "pages/TabWidgetBasic.h"
#include "pages/TabWidgetSpecial.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>

namespace
{
const QStringList groups = {"basic", "wordlib", "special", "about"};
} // namespace

class TestMainWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<Settings>(); }
    void init();
    void cleanup();
    void commitsEveryPageInTabOrder_data();
    void commitsEveryPageInTabOrder();
    void cancelDropsEverything();
    void resetReachesOnlyCurrentPage();
    void aboutPageLeavesOnlyOk();
    void aboutPageHoldsNoSettings();

private:
    QPushButton *button(const QString &text) const;
    /// Picks 5 candidates (常用) and unticks the i mode (高级).
    void editTwoPages();
    template <typename Page> const Settings &pendingOf() const
    {
        return m_widget->findChild<Page *>()->changedSettings();
    }

    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<RecordingMainWidget> m_widget;
};

void TestMainWidget::init()
{
    m_sandbox = std::make_unique<Sandbox>();
    m_widget = std::make_unique<RecordingMainWidget>();
}

void TestMainWidget::cleanup()
{
    m_widget.reset();
    m_sandbox.reset();
}

void TestMainWidget::editTwoPages()
{
    m_widget->findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"))
        ->setCurrentIndex(4);
    m_widget->findChild<QCheckBox *>(QStringLiteral("checkboxEnableIMode"))
        ->setChecked(false);
}

QPushButton *TestMainWidget::button(const QString &text) const
{
    for (QPushButton *candidate : m_widget->findChildren<QPushButton *>()) {
        if (candidate->text() == text)
            return candidate;
    }
    return nullptr;
}

// A count committed in the same step as the special page moves its
// position list, and OK stores and sends what Apply would.
void TestMainWidget::commitsEveryPageInTabOrder_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("chosenPosition"); // -1: none chosen
    QTest::addColumn<int>("countIndex");
    QTest::addColumn<BusCalls>("calls");
    QTest::addColumn<QList<Settings>>("results"); // broadcast, in tab order
    QTest::addColumn<QString>("positions");       // "<items>/<index>"
    const QString apply = QStringLiteral("应用");
    const QByteArray atSeven("[special]\ncustomphrasedisplaypos=6\n");
    const auto results = [](const char *count, const Settings &special) {
        return QList<Settings>{{{"candidatecount", count}}, {}, special, {}};
    };
    const Settings iModeOff{{"enableimode", "0"}};
    for (const QString &button : {apply, QStringLiteral("确定")}) {
        QTest::addRow("%s", qPrintable(button))
            << button << QByteArray() << -1 << 4
            << BusCalls{{"candidateCount", 5}, {"enableIMode", 0}}
            << results("5", iModeOff) << "5/2";
        QTest::addRow("%s, stored 7 moved to 5", qPrintable(button))
            << button << atSeven << -1 << 4
            << BusCalls{{"candidateCount", 5},
                        {"customPhraseDisplayPos", 4},
                        {"enableIMode", 0}}
            << results("5",
                       {{"customphrasedisplaypos", "4"}, {"enableimode", "0"}})
            << "5/4";
    }
    // The special page's own apply() sends the moved position once more.
    QTest::newRow("apply, chosen 7 moved to 5")
        << apply << QByteArray() << 6 << 4
        << BusCalls{{"candidateCount", 5},
                    {"customPhraseDisplayPos", 4},
                    {"enableIMode", 0},
                    {"customPhraseDisplayPos", 4}}
        << results("5", {{"customphrasedisplaypos", "4"}, {"enableimode", "0"}})
        << "5/4";
    QTest::newRow("apply, stored 7 kept by 9")
        << apply << atSeven << -1 << 8
        << BusCalls{{"candidateCount", 9}, {"enableIMode", 0}}
        << results("9", iModeOff) << "9/6";
}

void TestMainWidget::commitsEveryPageInTabOrder()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, stored);
    QFETCH(int, chosenPosition);
    QFETCH(int, countIndex);
    QFETCH(QList<Settings>, results);
    QFETCH(QString, positions);
    if (!stored.isEmpty())
        writeSettings(stored);
    m_widget = std::make_unique<RecordingMainWidget>();
    m_widget->show();
    auto *positionList = m_widget->findChild<QComboBox *>(
        QStringLiteral("comboBoxCustomPhraseDisplayPos"));
    if (chosenPosition >= 0)
        positionList->setCurrentIndex(chosenPosition);
    editTwoPages();
    m_widget->findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"))
        ->setCurrentIndex(countIndex);
    QList<Settings> storedBefore, storedWhenBroadcast;
    for (const QString &group : groups)
        storedBefore.append(storedGroup(group));
    connect(m_widget.get(), &MainWidget::settingChanged, this, [&] {
        storedWhenBroadcast.append(
            storedGroup(groups.at(storedWhenBroadcast.size())));
    });
    QSignalSpy spy(m_widget.get(), &MainWidget::settingChanged);

    QTest::mouseClick(this->button(button), Qt::LeftButton);

    QTEST(m_sandbox->bus.calls, "calls");
    QCOMPARE(spy.count(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(spy.at(i).at(0).value<Settings>(), results[i]);
        // One write of every group, after the last page.
        QCOMPARE(storedWhenBroadcast[i], storedBefore[i]);
        for (auto it = results[i].cbegin(); it != results[i].cend(); ++it)
            QCOMPARE(storedGroup(groups.at(i)).value(it.key()), it.value());
    }
    QCOMPARE(QStringLiteral("%1/%2")
                 .arg(positionList->count())
                 .arg(positionList->currentIndex()),
             positions);
    // What the list shows is what the file holds, once anything is stored.
    const Settings special = storedGroup(QStringLiteral("special"));
    QCOMPARE(special.value(QStringLiteral("customphrasedisplaypos"),
                           QString::number(positionList->currentIndex())),
             QString::number(positionList->currentIndex()));
    QVERIFY(m_widget->failures.isEmpty());
    QCOMPARE(m_widget->isVisible(), button != QStringLiteral("确定"));
}

void TestMainWidget::cancelDropsEverything()
{
    m_widget->show();
    editTwoPages();

    QTest::mouseClick(button(QStringLiteral("取消")), Qt::LeftButton);

    QVERIFY(!QFile::exists(Config::configFilePath()));
    QVERIFY(m_sandbox->bus.calls.isEmpty());
    QVERIFY(!m_widget->isVisible());
}

void TestMainWidget::resetReachesOnlyCurrentPage()
{
    editTwoPages();
    m_widget->findChild<QTabWidget *>()->setCurrentIndex(2);
    QTest::mouseClick(button(QStringLiteral("恢复本页默认设置")),
                      Qt::LeftButton);
    // The i mode is back on; Reset's first position is a change of its own.
    QCOMPARE(pendingOf<TabWidgetSpecial>(),
             Settings({{"comboBoxCustomPhraseDisplayPos", "0"}}));
    QCOMPARE(pendingOf<TabWidgetBasic>().keys(),
             QStringList{"comboboxCandidateCount"});
}

void TestMainWidget::aboutPageLeavesOnlyOk()
{
    auto *tabs = m_widget->findChild<QTabWidget *>();
    QCOMPARE(tabs->count(), 4);
    const QStringList titles = {tabs->tabText(0), tabs->tabText(1),
                                tabs->tabText(2), tabs->tabText(3)};
    QCOMPARE(titles, QStringList({"常用", "词库", "高级", "关于"}));
    const QStringList buttons = {"恢复本页默认设置", "取消", "应用"};
    auto hiddenButtons = [&] {
        QStringList hidden;
        for (const QString &text : buttons + QStringList{"确定"}) {
            if (button(text)->isHidden())
                hidden.append(text);
        }
        return hidden;
    };
    QCOMPARE(hiddenButtons(), QStringList());
    tabs->setCurrentIndex(3);
    QCOMPARE(hiddenButtons(), buttons);
    tabs->setCurrentIndex(1);
    QCOMPARE(hiddenButtons(), QStringList());
}

void TestMainWidget::aboutPageHoldsNoSettings()
{
    TabWidgetAbout page(nullptr);
    QCOMPARE(page.name(), QStringLiteral("about"));
    QVERIFY(page.apply().isEmpty());
    page.reset();
    QVERIFY(page.apply().isEmpty());
    QVERIFY(m_sandbox->bus.calls.isEmpty());

    QStringList texts;
    QStringList bold;
    for (const QLabel *label : page.findChildren<QLabel *>()) {
        texts.append(label->text());
        if (label->font().bold())
            bold.append(label->text());
    }
    QCOMPARE(texts.size(), 7);
    QCOMPARE(texts.at(1), QStringLiteral("输入法版本: 2.0"));
    QVERIFY(texts.at(5).startsWith(QStringLiteral("输入法论坛：http")));
    QVERIFY(texts.at(6).startsWith(QStringLiteral("联系我们：")));
    QCOMPARE(bold, QStringList({"版本与授权", "Internet"}));

    // Through the container the about group never reaches the file.
    editTwoPages();
    QTest::mouseClick(button(QStringLiteral("应用")), Qt::LeftButton);
    QSettings file(Config::configFilePath(), QSettings::IniFormat);
    QCOMPARE(file.childGroups(), QStringList({"basic", "special"}));
}

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
