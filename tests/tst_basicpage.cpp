// SPDX-License-Identifier: GPL-2.0-or-later
// The "常用" page: loading from the settings file, edit tracking, what
// apply() sends and returns, reset().
#include "pages/TabWidgetBasic.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QtTest>

#include <memory>

using Settings = QMap<QString, QString>;

namespace
{
/// Lets a test plant a pending entry the controls cannot produce.
class ProbedBasicPage : public TabWidgetBasic
{
public:
    using TabWidgetBasic::m_changedSettings;
    using TabWidgetBasic::TabWidgetBasic;
};

const QString countKey = QStringLiteral("comboboxCandidateCount");
} // namespace

class TestBasicPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void loading_data();
    void loading();
    void tracking_data();
    void tracking();
    void countDebugLines();
    void applySendsInKeyOrderOnce();
    void reset_data();
    void reset();

private:
    ProbedBasicPage *page(const QByteArray &ini = {});
    QComboBox *countList() const;
    void press(const QString &name);

    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<ProbedBasicPage> m_page;
};

void TestBasicPage::init()
{
    m_sandbox = std::make_unique<Sandbox>();
}

void TestBasicPage::cleanup()
{
    m_page.reset();
    m_sandbox.reset();
}

ProbedBasicPage *TestBasicPage::page(const QByteArray &ini)
{
    if (!ini.isEmpty())
        m_sandbox->home.writeSettings("[basic]\n" + ini);
    m_page = std::make_unique<ProbedBasicPage>(nullptr);
    m_page->show();
    return m_page.get();
}

QComboBox *TestBasicPage::countList() const
{
    return m_page->findChild<QComboBox *>(countKey);
}

void TestBasicPage::press(const QString &name)
{
    auto *button = m_page->findChild<QAbstractButton *>(name);
    QVERIFY2(button, qPrintable(name));
    if (button->isVisible())
        QTest::mouseClick(button, Qt::LeftButton);
    else // the status box is hidden from the user
        button->setChecked(!button->isChecked());
}

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
    QFETCH(bool, hidden);
    QFETCH(int, countIndex);
    QFETCH(int, ziRate);
    QFETCH(int, ciRate);
    TabWidgetBasic *basic = page(ini);
    auto *box = basic->findChild<QCheckBox *>("checkboxHideStatusWindow");
    QCOMPARE(box->isChecked(), hidden);
    QVERIFY(!box->isVisible());
    QCOMPARE(countList()->count(), 9);
    QCOMPARE(countList()->currentIndex(), countIndex);
    QCOMPARE(basic->findChild<QButtonGroup *>("buttonGroupZiRate")->checkedId(),
             ziRate);
    QCOMPARE(basic->findChild<QButtonGroup *>("buttonGroupCiRate")->checkedId(),
             ciRate);
    QCOMPARE(basic->changedSettings(), Settings());
    QCOMPARE(basic->apply(), Settings());
    QCOMPARE(m_sandbox->bus.calls, BusCalls());
}

void TestBasicPage::tracking_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("steps"); // a button, a list index, "apply"
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
    QFETCH(Settings, pending);
    page(ini);
    for (const QString &step : steps) {
        bool isIndex = false;
        const int index = step.toInt(&isIndex);
        if (isIndex)
            countList()->setCurrentIndex(index);
        else if (step == QLatin1String("apply"))
            m_page->apply();
        else
            press(step);
    }
    QCOMPARE(m_page->changedSettings(), pending);
}

void TestBasicPage::countDebugLines()
{
    page();
    DebugCapture debug;
    countList()->setCurrentIndex(2);
    countList()->setCurrentIndex(7);
    m_page->m_changedSettings.insert(countKey, QStringLiteral("7;2"));
    countList()->setCurrentIndex(2);
    QCOMPARE(debug.lines(),
             QStringList({"Candidate changed info:  \"7,2\"",
                          "Candidate changed info:  \"\"", "Logic Error!",
                          "Candidate changed info:  \"7;2\""}));
    // Not a change apply() can read: nothing sent, the entry dropped.
    QCOMPARE(m_page->apply(), Settings());
    QCOMPARE(m_sandbox->bus.calls, BusCalls());
    QCOMPARE(m_page->changedSettings(), Settings());
}

void TestBasicPage::applySendsInKeyOrderOnce()
{
    page();
    countList()->setCurrentIndex(4);
    press(QStringLiteral("checkboxHideStatusWindow"));
    press(QStringLiteral("radioZiRateFixed"));
    press(QStringLiteral("radioCiRateSlow"));
    QCOMPARE(m_page->apply(), Settings({{"candidatecount", "5"},
                                        {"cirate", "2"},
                                        {"hidestatuswindow", "1"},
                                        {"zirate", "0"}}));
    QCOMPARE(m_sandbox->bus.calls, BusCalls({{"ciRate", 2},
                                             {"ziRate", 0},
                                             {"hideStatusWindow", 1},
                                             {"candidateCount", 5}}));
    QCOMPARE(m_page->apply(), Settings());
    QCOMPARE(m_sandbox->bus.calls.size(), 4);
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
    QFETCH(Settings, pending);
    QFETCH(BusCalls, calls);
    page(ini)->reset();
    QCOMPARE(m_page->changedSettings(), pending);
    QCOMPARE(countList()->currentIndex(), 7);
    QVERIFY(m_sandbox->bus.calls.isEmpty());
    m_page->apply();
    QCOMPARE(m_sandbox->bus.calls, calls);
}

QTEST_MAIN(TestBasicPage)
#include "tst_basicpage.moc"
