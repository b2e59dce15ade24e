// SPDX-License-Identifier: GPL-2.0-or-later
// The "常用" page: loading from the settings file, edit tracking, what
// apply() sends and returns, reset().
#include "pages/TabWidgetBasic.h"
#include "support/PageFixture.h"

#include <QButtonGroup>
#include <QCheckBox>

namespace
{
const QString countKey = QStringLiteral("comboboxCandidateCount");
} // namespace

class TestBasicPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loading_data();
    void loading();
    void tracking_data();
    void tracking();
    void unreadableCountEntryIsDropped();
    void applySendsInKeyOrderOnce();
    void reset_data();
    void reset();
};

void TestBasicPage::loading_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<int>("countIndex");
    QTest::addColumn<int>("ziRate");
    QTest::addColumn<int>("ciRate");
    QTest::newRow("no file") << QByteArray() << false << 7 << 1 << 1;
    QTest::newRow("stored") << QByteArray("hidestatuswindow=1\ncandidatecount=3"
                                          "\nzirate=0\ncirate=2\n")
                            << true << 2 << 0 << 2;
    QTest::newRow("true, 01") << QByteArray("hidestatuswindow=true\n"
                                            "candidatecount=01\nzirate=02\n")
                              << false << 0 << 2 << 1;
    QTest::newRow("not numbers")
        << QByteArray("candidatecount=abc\nzirate=abc\ncirate=1,2\n") << false
        << 7 << 1 << 1;
    QTest::newRow("count 0")
        << QByteArray("candidatecount=0\n") << false << -1 << 1 << 1;
    QTest::newRow("count 12")
        << QByteArray("candidatecount=12\n") << false << -1 << 1 << 1;
    // count - 1 would overflow: read as unreadable.
    QTest::newRow("least int count")
        << QByteArray("candidatecount=-2147483648\n") << false << 7 << 1 << 1;
    // An id naming no button leaves the button built checked, "固定".
    QTest::newRow("rates out of range")
        << QByteArray("zirate=5\ncirate=-1\n") << false << 7 << 0 << 0;
}

void TestBasicPage::loading()
{
    QFETCH(QByteArray, ini);
    PageFixture<TabWidgetBasic> fixture;
    fixture.build(ini.isNull() ? ini : "[basic]\n" + ini);
    auto *box = fixture.find<QCheckBox>("checkboxHideStatusWindow");
    QTEST(box->isChecked(), "hidden");
    QVERIFY(!box->isVisible());
    QCOMPARE(fixture.find<QComboBox>()->count(), 9);
    QTEST(fixture.find<QComboBox>()->currentIndex(), "countIndex");
    QTEST(fixture.find<QButtonGroup>("buttonGroupZiRate")->checkedId(),
          "ziRate");
    QTEST(fixture.find<QButtonGroup>("buttonGroupCiRate")->checkedId(),
          "ciRate");
    QCOMPARE(fixture.pending(), Settings());
    QCOMPARE(fixture.apply(), Settings());
    QCOMPARE(fixture.calls(), BusCalls());
}

void TestBasicPage::tracking_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<Settings>("pending");
    const QString box = QStringLiteral("checkboxHideStatusWindow");
    QTest::newRow("box on")
        << QByteArray() << QStringList{box} << Settings{{box, "Qt::Checked"}};
    QTest::newRow("box on, off")
        << QByteArray() << QStringList{box, box} << Settings();
    QTest::newRow("stored box off, on") << QByteArray("hidestatuswindow=1\n")
                                        << QStringList{box, box} << Settings();
    QTest::newRow("zi fixed, fast")
        << QByteArray() << QStringList{"radioZiRateFixed", "radioZiRateFast"}
        << Settings();
    QTest::newRow("ci slow, fixed")
        << QByteArray() << QStringList{"radioCiRateSlow", "radioCiRateFixed"}
        << Settings{{"buttonGroupCiRate", "0"}};
    QTest::newRow("zi applied fixed, slow, fixed")
        << QByteArray()
        << QStringList{"radioZiRateFixed", "apply", "radioZiRateSlow",
                       "radioZiRateFixed"}
        << Settings();
    // The saved id stays the stored 5, so "固定" is a change again.
    QTest::newRow("stored zi 5: fast, fixed")
        << QByteArray("zirate=5\n")
        << QStringList{"radioZiRateFast", "radioZiRateFixed"}
        << Settings{{"buttonGroupZiRate", "0"}};
    QTest::newRow("count 8 to 3")
        << QByteArray() << QStringList{"2"} << Settings{{countKey, "7,2"}};
    QTest::newRow("count 8 to 3 to 5")
        << QByteArray() << QStringList{"2", "4"} << Settings{{countKey, "7,4"}};
    QTest::newRow("count 8 to 3 and back")
        << QByteArray() << QStringList{"2", "7"} << Settings();
    QTest::newRow("count applied 3, then 9")
        << QByteArray() << QStringList{"2", "apply", "8"}
        << Settings{{countKey, "2,8"}};
    QTest::newRow("stored count 12 to 3")
        << QByteArray("candidatecount=12\n") << QStringList{"2"}
        << Settings{{countKey, "11,2"}};
}

void TestBasicPage::tracking()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, steps);
    PageFixture<TabWidgetBasic> fixture;
    fixture.build("[basic]\n" + ini);
    fixture.perform(steps);
    QTEST(fixture.pending(), "pending");
}

// Not a change apply() can read: nothing sent, the entry dropped.
void TestBasicPage::unreadableCountEntryIsDropped()
{
    PageFixture<TabWidgetBasic> fixture;
    fixture.build().m_changedSettings.insert(countKey, QStringLiteral("7;2"));
    QCOMPARE(fixture.apply(), Settings());
    QCOMPARE(fixture.calls(), BusCalls());
    QCOMPARE(fixture.pending(), Settings());
}

void TestBasicPage::applySendsInKeyOrderOnce()
{
    PageFixture<TabWidgetBasic> fixture;
    fixture.build();
    fixture.perform({"4", "checkboxHideStatusWindow", "radioZiRateFixed",
                     "radioCiRateSlow"});
    QCOMPARE(fixture.apply(), Settings({{"candidatecount", "5"},
                                        {"cirate", "2"},
                                        {"hidestatuswindow", "1"},
                                        {"zirate", "0"}}));
    QCOMPARE(fixture.calls(), BusCalls({{"ciRate", 2},
                                        {"ziRate", 0},
                                        {"hideStatusWindow", 1},
                                        {"candidateCount", 5}}));
    QCOMPARE(fixture.apply(), Settings());
    QCOMPARE(fixture.calls().size(), 4);
}

void TestBasicPage::reset_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<Settings>("pending");
    QTest::addColumn<BusCalls>("calls");
    QTest::newRow("stored 3, zi fixed, hidden")
        << QByteArray("hidestatuswindow=1\ncandidatecount=3\nzirate=0\n")
        << Settings{{"buttonGroupZiRate", "1"},
                    {"checkboxHideStatusWindow", "Qt::Unchecked"},
                    {countKey, "2,7"}}
        << BusCalls{
               {"ziRate", 1}, {"hideStatusWindow", 0}, {"candidateCount", 8}};
    QTest::newRow("at defaults") << QByteArray() << Settings() << BusCalls();
}

void TestBasicPage::reset()
{
    QFETCH(QByteArray, ini);
    PageFixture<TabWidgetBasic> fixture;
    fixture.build("[basic]\n" + ini).reset();
    QTEST(fixture.pending(), "pending");
    QCOMPARE(fixture.find<QComboBox>()->currentIndex(), 7);
    QVERIFY(fixture.calls().isEmpty());
    fixture.apply();
    QTEST(fixture.calls(), "calls");
}

QTEST_MAIN(TestBasicPage)
#include "tst_basicpage.moc"
