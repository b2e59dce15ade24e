// SPDX-License-Identifier: GPL-2.0-or-later
// The "高级" page: loading, edit tracking, apply(), reset() and how the
// position list follows a committed candidate count.
#include "config/Config.h"
#include "pages/TabWidgetSpecial.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QSettings>
#include <QtTest>

#include <memory>

using Settings = QMap<QString, QString>;

namespace
{
const QString positionKey = QStringLiteral("comboBoxCustomPhraseDisplayPos");
// In the order of the "checked" masks below.
const QStringList boxNames = {"checkboxEnableIntelligentWord",
                              "checkboxEnableIMode", "checkboxEnableBMode",
                              "checkboxEnableCustomPhrase"};

QByteArray fileContent()
{
    QFile file(Config::configFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariant storedPosition()
{
    return QSettings(Config::configFilePath(), QSettings::IniFormat)
        .value(QStringLiteral("special/customphrasedisplaypos"));
}
} // namespace

class TestSpecialPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void loading_data();
    void loading();
    void tracking_data();
    void tracking();
    void applySendsInKeyOrderOnce();
    void reset_data();
    void reset();
    void candidateCountCommitted_data();
    void candidateCountCommitted();
    void positionMovedByCountIsTheSavedOne();
    void positionNotStoredStaysPending();

private:
    TabWidgetSpecial *page(const QByteArray &ini = {});
    QComboBox *positions() const;

    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<TabWidgetSpecial> m_page;
};

void TestSpecialPage::init()
{
    m_sandbox = std::make_unique<Sandbox>();
}

void TestSpecialPage::cleanup()
{
    m_page.reset();
    m_sandbox.reset();
}

TabWidgetSpecial *TestSpecialPage::page(const QByteArray &ini)
{
    if (!ini.isEmpty())
        m_sandbox->home.writeSettings(ini);
    m_page = std::make_unique<TabWidgetSpecial>(nullptr);
    m_page->show();
    return m_page.get();
}

QComboBox *TestSpecialPage::positions() const
{
    return m_page->findChild<QComboBox *>(positionKey);
}

void TestSpecialPage::loading_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("index");
    QTest::newRow("no file") << QByteArray() << "1111" << 8 << 2;
    QTest::newRow("count 5, position 7")
        << QByteArray("[basic]\ncandidatecount=5\n"
                      "[special]\ncustomphrasedisplaypos=6\n")
        << "1111" << 5 << 4;
    // Counts the engine does not know take the default: the list is never
    // sized by a stored number.
    QTest::newRow("count 0")
        << QByteArray("[basic]\ncandidatecount=0\n") << "1111" << 8 << 2;
    QTest::newRow("largest int count")
        << QByteArray("[basic]\ncandidatecount=2147483647\n") << "1111" << 8
        << 2;
    QTest::newRow("least int count")
        << QByteArray("[basic]\ncandidatecount=-2147483648\n") << "1111" << 8
        << 2;
    QTest::newRow("custom phrases off")
        << QByteArray("[special]\nenablecustomphrase=0\n") << "1110" << 8 << 2;
    QTest::newRow("01") << QByteArray("[special]\nenableintelligentword=01\n"
                                      "enableimode=01\nenablebmode=01\n"
                                      "enablecustomphrase=01\n")
                        << "0001" << 8 << 2;
    QTest::newRow("true") << QByteArray(
                                 "[special]\nenableintelligentword=true\n"
                                 "enableimode=true\nenablebmode=true\n"
                                 "enablecustomphrase=true\n")
                          << "0001" << 8 << 2;
    QTest::newRow("negative position")
        << QByteArray("[special]\ncustomphrasedisplaypos=-3\n") << "1111" << 8
        << -1;
    QTest::newRow("position not a number")
        << QByteArray("[special]\ncustomphrasedisplaypos=x\n") << "1111" << 8
        << 2;
}

void TestSpecialPage::loading()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, checked);
    QFETCH(int, items);
    QFETCH(int, index);
    page(ini);
    for (int i = 0; i < boxNames.size(); ++i)
        QCOMPARE(m_page->findChild<QCheckBox *>(boxNames.at(i))->isChecked(),
                 checked.at(i) == '1');
    QCOMPARE(positions()->count(), items);
    QCOMPARE(positions()->currentIndex(), index);
    QCOMPARE(positions()->isEnabled(), checked.endsWith('1'));
    QCOMPARE(fileContent(), ini); // loading writes nothing
    QCOMPARE(m_page->changedSettings(), Settings());
    QCOMPARE(m_page->apply(), Settings());
    QCOMPARE(m_sandbox->bus.calls, BusCalls());
}

void TestSpecialPage::tracking_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("steps"); // a box, a list index, "apply"
    QTest::addColumn<Settings>("pending");
    for (const QString &box : boxNames) {
        QTest::addRow("%s off", qPrintable(box))
            << QByteArray() << QStringList{box}
            << Settings{{box, "Qt::Unchecked"}};
        QTest::addRow("%s off, on", qPrintable(box))
            << QByteArray() << QStringList{box, box} << Settings();
    }
    QTest::newRow("2 to 4")
        << QByteArray() << QStringList{"4"} << Settings{{positionKey, "4"}};
    QTest::newRow("2 to 4 and back")
        << QByteArray() << QStringList{"4", "2"} << Settings();
    QTest::newRow("applied 3, then 2 and 3")
        << QByteArray() << QStringList{"3", "apply", "2", "3"} << Settings();
    QTest::newRow("stored 7 of 5 saved as 5")
        << QByteArray("[basic]\ncandidatecount=5\n"
                      "[special]\ncustomphrasedisplaypos=6\n")
        << QStringList{"3", "4"} << Settings();
}

void TestSpecialPage::tracking()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, steps);
    QFETCH(Settings, pending);
    page(ini);
    for (const QString &step : steps) {
        bool isIndex = false;
        const int index = step.toInt(&isIndex);
        if (isIndex)
            positions()->setCurrentIndex(index);
        else if (step == QLatin1String("apply"))
            m_page->apply();
        else
            QTest::mouseClick(m_page->findChild<QCheckBox *>(step),
                              Qt::LeftButton);
    }
    QCOMPARE(m_page->changedSettings(), pending);
    QCOMPARE(positions()->isEnabled(),
             m_page->findChild<QCheckBox *>(boxNames.last())->isChecked());
}

void TestSpecialPage::applySendsInKeyOrderOnce()
{
    page();
    positions()->setCurrentIndex(5);
    for (const QString &name : boxNames)
        QTest::mouseClick(m_page->findChild<QCheckBox *>(name), Qt::LeftButton);
    QCOMPARE(m_page->apply(), Settings({{"customphrasedisplaypos", "5"},
                                        {"enablebmode", "0"},
                                        {"enablecustomphrase", "0"},
                                        {"enableimode", "0"},
                                        {"enableintelligentword", "0"}}));
    QCOMPARE(m_sandbox->bus.calls, BusCalls({{"enableBMode", 0},
                                             {"enableCustomPhrase", 0},
                                             {"enableIMode", 0},
                                             {"enableIntelligentWord", 0},
                                             {"customPhraseDisplayPos", 5}}));
    QCOMPARE(m_page->apply(), Settings());
    QCOMPARE(m_sandbox->bus.calls.size(), 5);
}

void TestSpecialPage::reset_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<Settings>("pending");
    QTest::addColumn<BusCalls>("calls");
    QTest::newRow("custom phrases off at 5")
        << QByteArray("[special]\nenablecustomphrase=0\n"
                      "customphrasedisplaypos=4\n")
        << Settings{{"checkboxEnableCustomPhrase", "Qt::Checked"},
                    {positionKey, "0"}}
        << BusCalls{{"enableCustomPhrase", 1}, {"customPhraseDisplayPos", 0}};
    // Reset's first position is not the third one shown without a file.
    QTest::newRow("no file") << QByteArray() << Settings{{positionKey, "0"}}
                             << BusCalls{{"customPhraseDisplayPos", 0}};
}

void TestSpecialPage::reset()
{
    QFETCH(QByteArray, ini);
    QFETCH(Settings, pending);
    QFETCH(BusCalls, calls);
    page(ini)->reset();
    for (const QString &name : boxNames)
        QVERIFY(m_page->findChild<QCheckBox *>(name)->isChecked());
    QVERIFY(positions()->isEnabled());
    QCOMPARE(positions()->currentIndex(), 0);
    QCOMPARE(m_page->changedSettings(), pending);
    QVERIFY(m_sandbox->bus.calls.isEmpty());
    m_page->apply();
    QCOMPARE(m_sandbox->bus.calls, calls);
}

void TestSpecialPage::candidateCountCommitted_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("chosen"); // -1: the user chose nothing
    QTest::addColumn<Settings>("committed");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("index");
    QTest::addColumn<BusCalls>("calls");
    QTest::addColumn<int>("stored");
    QTest::addColumn<Settings>("pending");
    const QByteArray atSeven("[special]\ncustomphrasedisplaypos=6\n");
    QTest::newRow("5 moves 7 to 5")
        << atSeven << -1 << Settings{{"candidatecount", "5"}} << 5 << 4
        << BusCalls{{"customPhraseDisplayPos", 4}} << 4 << Settings();
    QTest::newRow("9 keeps 7")
        << atSeven << -1 << Settings{{"candidatecount", "9"}} << 9 << 6
        << BusCalls() << 6 << Settings();
    QTest::newRow("no count") << atSeven << -1 << Settings{{"enablebmode", "0"}}
                              << 8 << 6 << BusCalls() << 6 << Settings();
    // Rebuilding reports index -1 and 0, and 0 is the saved position here.
    QTest::newRow("chosen 4 kept over saved 1")
        << QByteArray("[special]\ncustomphrasedisplaypos=0\n") << 3
        << Settings{{"candidatecount", "9"}} << 9 << 3 << BusCalls() << 0
        << Settings{{positionKey, "3"}};
}

void TestSpecialPage::candidateCountCommitted()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, chosen);
    QFETCH(Settings, committed);
    QFETCH(int, items);
    QFETCH(int, index);
    QFETCH(BusCalls, calls);
    QFETCH(int, stored);
    QFETCH(Settings, pending);
    page(ini);
    if (chosen >= 0)
        positions()->setCurrentIndex(chosen);
    m_page->onSettingChanged(committed);
    QCOMPARE(positions()->count(), items);
    QCOMPARE(positions()->currentIndex(), index);
    QCOMPARE(m_sandbox->bus.calls, calls);
    QCOMPARE(storedPosition(), QVariant(QString::number(stored)));
    QCOMPARE(m_page->changedSettings(), pending);
}

void TestSpecialPage::positionMovedByCountIsTheSavedOne()
{
    page("[special]\ncustomphrasedisplaypos=6\n");
    m_page->onSettingChanged({{"candidatecount", "5"}});
    m_page->onSettingChanged({{"candidatecount", "9"}});
    // Position 7 is no longer what the file holds: choosing it is an edit.
    positions()->setCurrentIndex(5);
    positions()->setCurrentIndex(6);
    QCOMPARE(m_page->changedSettings(), Settings({{positionKey, "6"}}));
}

void TestSpecialPage::positionNotStoredStaysPending()
{
    page();
    positions()->setCurrentIndex(6);
    m_page->apply();
    QVERIFY(QDir().mkpath(Config::configFilePath())); // cannot be written
    m_page->onSettingChanged({{"candidatecount", "5"}});
    QCOMPARE(m_page->changedSettings(), Settings({{positionKey, "4"}}));
    QCOMPARE(m_page->apply(), Settings({{"customphrasedisplaypos", "4"}}));
}

QTEST_MAIN(TestSpecialPage)
#include "tst_specialpage.moc"
