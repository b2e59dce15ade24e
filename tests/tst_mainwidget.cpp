// SPDX-License-Identifier: GPL-2.0-or-later
// The settings container: the commit loop behind OK and Apply, Cancel,
// Reset, the about-page button rule, a settings file that cannot be
// written, and the about page itself.
#include "app/MainWidget.h"
#include "app/TabWidgetBase.h"
#include "config/Config.h"
#include "pages/TabWidgetAbout.h"
#include "pages/TabWidgetBasic.h"
#include "pages/TabWidgetSpecial.h"
#include "support/Restrictions.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>

#include <optional>
#include <unistd.h>

namespace
{
using Settings = QMap<QString, QString>;
const QStringList groups = {"basic", "wordlib", "special", "about"};

QMap<QString, QString> groupOf(const QString &group)
{
    QSettings file(Config::configFilePath(), QSettings::IniFormat);
    file.beginGroup(group);
    QMap<QString, QString> values;
    for (const QString &key : file.childKeys())
        values.insert(key, file.value(key).toString());
    return values;
}
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
    void unwritableFileKeepsValuesForNextSave_data();
    void unwritableFileKeepsValuesForNextSave();
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

void TestMainWidget::commitsEveryPageInTabOrder_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("closes");
    QTest::newRow("apply") << QStringLiteral("应用") << false;
    QTest::newRow("ok") << QStringLiteral("确定") << true;
}

void TestMainWidget::commitsEveryPageInTabOrder()
{
    QFETCH(QString, button);
    QFETCH(bool, closes);
    const QList<Settings> results = {
        {{"candidatecount", "5"}}, {}, {{"enableimode", "0"}}, {}};
    m_widget->show();
    editTwoPages();
    QList<Settings> storedWhenBroadcast;
    connect(m_widget.get(), &MainWidget::settingChanged, this, [&] {
        storedWhenBroadcast.append(
            groupOf(groups.at(storedWhenBroadcast.size())));
    });
    QSignalSpy spy(m_widget.get(), &MainWidget::settingChanged);

    QTest::mouseClick(this->button(button), Qt::LeftButton);

    QCOMPARE(m_sandbox->bus.calls,
             BusCalls({{"candidateCount", 5}, {"enableIMode", 0}}));
    QCOMPARE(spy.count(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(spy.at(i).at(0).value<Settings>(), results[i]);
    QCOMPARE(storedWhenBroadcast, results); // each written before its signal
    QVERIFY(m_widget->failures.isEmpty());
    QCOMPARE(m_widget->isVisible(), !closes);
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

void TestMainWidget::unwritableFileKeepsValuesForNextSave_data()
{
    QTest::addColumn<bool>("readOnlyDirectory");
    QTest::addColumn<QString>("reason");
    QTest::newRow("directory in the file's place")
        << false << QStringLiteral("该位置上是一个目录。");
    // A read-only mount as root; permissions deny a user.
    QTest::newRow("read-only settings directory")
        << true
        << (geteuid() == 0 ? QStringLiteral("文件系统是只读的。")
                           : QStringLiteral("没有写入权限。"));
}

void TestMainWidget::unwritableFileKeepsValuesForNextSave()
{
    QFETCH(bool, readOnlyDirectory);
    QFETCH(QString, reason);
    const QString dir = Config::configDirPath();
    QVERIFY(QDir().mkpath(dir));
    std::optional<ReadOnlyPath> locked;
    if (readOnlyDirectory && !locked.emplace(dir).whyNot().isEmpty())
        QSKIP(qPrintable(locked->whyNot()));
    if (!readOnlyDirectory)
        QVERIFY(QDir().mkpath(Config::configFilePath()));

    editTwoPages();
    m_widget->show();
    QTest::mouseClick(button(QStringLiteral("确定")), Qt::LeftButton);
    QCOMPARE(m_widget->failures, QStringList({Config::configFilePath()}));
    QCOMPARE(m_widget->reasons, QStringList{reason});
    QVERIFY(m_widget->isVisible()); // OK did not pretend to succeed

    locked.reset();
    QVERIFY(readOnlyDirectory ||
            QDir(Config::configFilePath()).removeRecursively());
    QTest::mouseClick(button(QStringLiteral("应用")), Qt::LeftButton);
    QCOMPARE(m_widget->failures.size(), 1);
    QCOMPARE(groupOf("basic"), Settings({{"candidatecount", "5"}}));
    QCOMPARE(groupOf("special"), Settings({{"enableimode", "0"}}));
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
    QTest::mouseClick(button(QStringLiteral("应用")), Qt::LeftButton);
    QSettings file(Config::configFilePath(), QSettings::IniFormat);
    QVERIFY(!file.childGroups().contains(QStringLiteral("about")));
}

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
