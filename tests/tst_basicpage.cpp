// SPDX-License-Identifier: GPL-2.0-or-later
// The "常用" page: loading from the settings file, edit tracking, what
// apply() sends and returns, reset().
#include "pages/PageHelpers.h"
#include "pages/TabWidgetBasic.h"
#include "support/PageFixture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>

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
    void edits_data();
    void edits();
    void unreadableCountEntryIsDropped();
    void rateRowGroupsDrawNothing();
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

void TestBasicPage::edits_data()
{
    PageFixture<TabWidgetBasic>::addEditColumns();
    const QString box = QStringLiteral("checkboxHideStatusWindow");
    QTest::newRow("box on")
        << QByteArray() << QStringList{box} << Settings{{box, "Qt::Checked"}}
        << Settings{{"hidestatuswindow", "1"}}
        << BusCalls{{"hideStatusWindow", 1}};
    QTest::newRow("box on, off") << QByteArray() << QStringList{box, box}
                                 << Settings() << Settings() << BusCalls();
    QTest::newRow("stored box off, on")
        << QByteArray("[basic]\nhidestatuswindow=1\n") << QStringList{box, box}
        << Settings() << Settings() << BusCalls();
    QTest::newRow("zi fixed, fast")
        << QByteArray() << QStringList{"radioZiRateFixed", "radioZiRateFast"}
        << Settings() << Settings() << BusCalls();
    QTest::newRow("ci slow, fixed")
        << QByteArray() << QStringList{"radioCiRateSlow", "radioCiRateFixed"}
        << Settings{{"buttonGroupCiRate", "0"}} << Settings{{"cirate", "0"}}
        << BusCalls{{"ciRate", 0}};
    QTest::newRow("zi applied fixed, slow, fixed")
        << QByteArray()
        << QStringList{"radioZiRateFixed", "apply", "radioZiRateSlow",
                       "radioZiRateFixed"}
        << Settings() << Settings() << BusCalls{{"ziRate", 0}};
    // The saved id stays the stored 5, so "固定" is a change again.
    QTest::newRow("stored zi 5: fast, fixed")
        << QByteArray("[basic]\nzirate=5\n")
        << QStringList{"radioZiRateFast", "radioZiRateFixed"}
        << Settings{{"buttonGroupZiRate", "0"}} << Settings{{"zirate", "0"}}
        << BusCalls{{"ziRate", 0}};
    QTest::newRow("count 8 to 3")
        << QByteArray() << QStringList{"2"} << Settings{{countKey, "7,2"}}
        << Settings{{"candidatecount", "3"}} << BusCalls{{"candidateCount", 3}};
    QTest::newRow("count 8 to 3 to 5")
        << QByteArray() << QStringList{"2", "4"} << Settings{{countKey, "7,4"}}
        << Settings{{"candidatecount", "5"}} << BusCalls{{"candidateCount", 5}};
    QTest::newRow("count 8 to 3 and back")
        << QByteArray() << QStringList{"2", "7"} << Settings() << Settings()
        << BusCalls();
    QTest::newRow("count applied 3, then 9")
        << QByteArray() << QStringList{"2", "apply", "8"}
        << Settings{{countKey, "2,8"}} << Settings{{"candidatecount", "9"}}
        << BusCalls{{"candidateCount", 3}, {"candidateCount", 9}};
    QTest::newRow("stored count 12 to 3")
        << QByteArray("[basic]\ncandidatecount=12\n") << QStringList{"2"}
        << Settings{{countKey, "11,2"}} << Settings{{"candidatecount", "3"}}
        << BusCalls{{"candidateCount", 3}};
    QTest::newRow("every setting, sent in key order")
        << QByteArray()
        << QStringList{"4", box, "radioZiRateFixed", "radioCiRateSlow"}
        << Settings{{"buttonGroupCiRate", "2"},
                    {"buttonGroupZiRate", "0"},
                    {box, "Qt::Checked"},
                    {countKey, "7,4"}}
        << Settings{{"candidatecount", "5"},
                    {"cirate", "2"},
                    {"hidestatuswindow", "1"},
                    {"zirate", "0"}}
        << BusCalls{{"ciRate", 2},
                    {"ziRate", 0},
                    {"hideStatusWindow", 1},
                    {"candidateCount", 5}};
    QTest::newRow("reset from stored 3, zi fixed, hidden")
        << QByteArray("[basic]\nhidestatuswindow=1\ncandidatecount=3\n"
                      "zirate=0\n")
        << QStringList{"reset"}
        << Settings{{"buttonGroupZiRate", "1"},
                    {box, "Qt::Unchecked"},
                    {countKey, "2,7"}}
        << Settings{{"candidatecount", "8"},
                    {"hidestatuswindow", "0"},
                    {"zirate", "1"}}
        << BusCalls{
               {"ziRate", 1}, {"hideStatusWindow", 0}, {"candidateCount", 8}};
    QTest::newRow("reset at defaults")
        << QByteArray() << QStringList{"reset"} << Settings() << Settings()
        << BusCalls();
}

void TestBasicPage::edits()
{
    PageFixture<TabWidgetBasic> fixture;
    fixture.checkEdits();
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

// The rows' groups only name them for screen readers.
void TestBasicPage::rateRowGroupsDrawNothing()
{
    const std::unique_ptr<QGroupBox> group(
        PageHelpers::namedRow("字频调整", PageHelpers::rowWithSpacer({})));
    QImage image(100, 50, QImage::Format_ARGB32);
    group->resize(image.size());
    image.fill(Qt::transparent);
    const QImage blank = image.copy();
    group->render(&image, {}, {}, {});
    QCOMPARE(image, blank);
    QCOMPARE(group->minimumSizeHint(), QSize(0, 0));
    group->setFont(QFont(group->font().family(), 30));
    QCOMPARE(group->minimumSizeHint(), QSize(0, 0));
}

QTEST_MAIN(TestBasicPage)
#include "tst_basicpage.moc"
