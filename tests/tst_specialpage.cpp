// SPDX-License-Identifier: GPL-2.0-or-later
// The "高级" page: loading, edit tracking, apply(), reset() and how the
// position list follows a committed candidate count.
#include "config/Config.h"
#include "pages/TabWidgetSpecial.h"
#include "support/PageFixture.h"

#include <QCheckBox>

namespace
{
const QString positionKey = QStringLiteral("comboBoxCustomPhraseDisplayPos");
// In the order of the "checked" masks below.
const QStringList boxNames = {"checkboxEnableIntelligentWord",
                              "checkboxEnableIMode", "checkboxEnableBMode",
                              "checkboxEnableCustomPhrase"};

QString storedPosition()
{
    return storedGroup(QStringLiteral("special"))
        .value(QStringLiteral("customphrasedisplaypos"));
}
} // namespace

class TestSpecialPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loading_data();
    void loading();
    void edits_data();
    void edits();
    void candidateCountCommitted_data();
    void candidateCountCommitted();
    void positionMovedByCountIsTheSavedOne();
    void movedPositionGoesWithTheCommit();
};

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
    PageFixture<TabWidgetSpecial> fixture;
    fixture.build(ini);
    for (int i = 0; i < boxNames.size(); ++i)
        QCOMPARE(fixture.find<QCheckBox>(boxNames.at(i))->isChecked(),
                 checked.at(i) == '1');
    const auto *positions = fixture.find<QComboBox>();
    QTEST(positions->count(), "items");
    QTEST(positions->currentIndex(), "index");
    QCOMPARE(positions->isEnabled(), checked.endsWith('1'));
    QCOMPARE(readFile(Config::configFilePath()), ini); // loading writes nothing
    QCOMPARE(fixture.pending(), Settings());
    QCOMPARE(fixture.apply(), Settings());
    QCOMPARE(fixture.calls(), BusCalls());
}

void TestSpecialPage::edits_data()
{
    PageFixture<TabWidgetSpecial>::addEditColumns();
    const QString fileKeys[] = {"enableintelligentword", "enableimode",
                                "enablebmode", "enablecustomphrase"};
    const char *busNames[] = {"enableIntelligentWord", "enableIMode",
                              "enableBMode", "enableCustomPhrase"};
    for (int i = 0; i < boxNames.size(); ++i) {
        const QString &box = boxNames.at(i);
        QTest::addRow("%s off", qPrintable(box))
            << QByteArray() << QStringList{box}
            << Settings{{box, "Qt::Unchecked"}} << Settings{{fileKeys[i], "0"}}
            << BusCalls{{busNames[i], 0}};
        QTest::addRow("%s off, on", qPrintable(box))
            << QByteArray() << QStringList{box, box} << Settings() << Settings()
            << BusCalls();
    }
    QTest::newRow("2 to 4")
        << QByteArray() << QStringList{"4"} << Settings{{positionKey, "4"}}
        << Settings{{"customphrasedisplaypos", "4"}}
        << BusCalls{{"customPhraseDisplayPos", 4}};
    QTest::newRow("2 to 4 and back") << QByteArray() << QStringList{"4", "2"}
                                     << Settings() << Settings() << BusCalls();
    QTest::newRow("applied 3, then 2 and 3")
        << QByteArray() << QStringList{"3", "apply", "2", "3"} << Settings()
        << Settings() << BusCalls{{"customPhraseDisplayPos", 3}};
    QTest::newRow("stored 7 of 5 saved as 5")
        << QByteArray("[basic]\ncandidatecount=5\n"
                      "[special]\ncustomphrasedisplaypos=6\n")
        << QStringList{"3", "4"} << Settings() << Settings() << BusCalls();
    QTest::newRow("every setting, sent in key order")
        << QByteArray() << QStringList{"5"} + boxNames
        << Settings{{boxNames[0], "Qt::Unchecked"},
                    {boxNames[1], "Qt::Unchecked"},
                    {boxNames[2], "Qt::Unchecked"},
                    {boxNames[3], "Qt::Unchecked"},
                    {positionKey, "5"}}
        << Settings{{"customphrasedisplaypos", "5"},
                    {"enablebmode", "0"},
                    {"enablecustomphrase", "0"},
                    {"enableimode", "0"},
                    {"enableintelligentword", "0"}}
        << BusCalls{{"enableBMode", 0},
                    {"enableCustomPhrase", 0},
                    {"enableIMode", 0},
                    {"enableIntelligentWord", 0},
                    {"customPhraseDisplayPos", 5}};
    QTest::newRow("reset with custom phrases off at 5")
        << QByteArray("[special]\nenablecustomphrase=0\n"
                      "customphrasedisplaypos=4\n")
        << QStringList{"reset"}
        << Settings{{"checkboxEnableCustomPhrase", "Qt::Checked"},
                    {positionKey, "0"}}
        << Settings{{"customphrasedisplaypos", "0"},
                    {"enablecustomphrase", "1"}}
        << BusCalls{{"enableCustomPhrase", 1}, {"customPhraseDisplayPos", 0}};
    // Reset's first position is not the third one shown without a file.
    QTest::newRow("reset without a file")
        << QByteArray() << QStringList{"reset"} << Settings{{positionKey, "0"}}
        << Settings{{"customphrasedisplaypos", "0"}}
        << BusCalls{{"customPhraseDisplayPos", 0}};
}

void TestSpecialPage::edits()
{
    PageFixture<TabWidgetSpecial> fixture;
    fixture.checkEdits();
    QCOMPARE(fixture.find<QComboBox>()->isEnabled(),
             fixture.find<QCheckBox>(boxNames.last())->isChecked());
}

// The container's commit shows the moves a count makes; these are the
// counts that move nothing.
void TestSpecialPage::candidateCountCommitted_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("chosen"); // -1: the user chose nothing
    QTest::addColumn<Settings>("committed");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<Settings>("pending");
    QTest::newRow("no count")
        << QByteArray("[special]\ncustomphrasedisplaypos=6\n") << -1
        << Settings{{"enablebmode", "0"}} << 8 << 6 << "6" << Settings();
    // Rebuilding reports index -1 and 0, and 0 is the saved position here.
    QTest::newRow("chosen 4 kept over saved 1")
        << QByteArray("[special]\ncustomphrasedisplaypos=0\n") << 3
        << Settings{{"candidatecount", "9"}} << 9 << 3 << "0"
        << Settings{{positionKey, "3"}};
}

void TestSpecialPage::candidateCountCommitted()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, chosen);
    QFETCH(Settings, committed);
    PageFixture<TabWidgetSpecial> fixture;
    fixture.build(ini);
    auto *positions = fixture.find<QComboBox>();
    if (chosen >= 0)
        positions->setCurrentIndex(chosen);
    fixture.page().onSettingChanged(committed);
    QTEST(positions->count(), "items");
    QTEST(positions->currentIndex(), "index");
    QCOMPARE(fixture.calls(), BusCalls());
    QTEST(storedPosition(), "stored");
    QTEST(fixture.pending(), "pending");
}

void TestSpecialPage::positionMovedByCountIsTheSavedOne()
{
    PageFixture<TabWidgetSpecial> fixture;
    auto &page = fixture.build("[special]\ncustomphrasedisplaypos=6\n");
    page.onSettingChanged({{"candidatecount", "5"}});
    page.onSettingChanged({{"candidatecount", "9"}});
    // Position 7 is no longer what the file holds: choosing it is an edit.
    fixture.perform({"5", "6"});
    QCOMPARE(fixture.pending(), Settings({{positionKey, "6"}}));
}

// Sent at once; the file takes it with the commit's one write, from the
// page's result, and the engine does not get it twice.
void TestSpecialPage::movedPositionGoesWithTheCommit()
{
    PageFixture<TabWidgetSpecial> fixture;
    fixture.build("[special]\ncustomphrasedisplaypos=6\n");
    fixture.page().onSettingChanged({{"candidatecount", "5"}});
    QCOMPARE(fixture.calls(), BusCalls({{"customPhraseDisplayPos", 4}}));
    QCOMPARE(storedPosition(), QStringLiteral("6"));
    QCOMPARE(fixture.apply(), Settings({{"customphrasedisplaypos", "4"}}));
    QCOMPARE(fixture.calls().size(), 1);
    QCOMPARE(fixture.apply(), Settings());
    fixture.page().finishCommit(true, false); // the engine missed it
    QCOMPARE(fixture.apply(), Settings({{"customphrasedisplaypos", "4"}}));
    QCOMPARE(fixture.calls().size(), 2);
}

QTEST_MAIN(TestSpecialPage)
#include "tst_specialpage.moc"
