// SPDX-License-Identifier: GPL-2.0-or-later
// Every line the tool writes to the debug output, word for word: logs are
// read by these texts, typos included, so none of them may change.
#include "config/Config.h"
#include "config/IniSetting.h"
#include "pages/TabWidgetBasic.h"
#include "support/PageFixture.h"
#include "support/Restrictions.h"
#include "support/WordLibBuilder.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>

#include <functional>
#include <optional>

namespace
{
using Trigger = std::function<void()>;
const QString failed = QStringLiteral("ibus set value failed!");

void editIniFile(std::optional<rlim_t> sizeLimit)
{
    const QString path = Config::homePath() + QStringLiteral("/edited.ini");
    writeFile(path, "top=1\n[A]\n[B]\n");
    IniSetting ini(path);
    ini.set(QStringLiteral("C/k"), QString(4096, QLatin1Char('x')));
    std::optional<FileSizeLimit> limit;
    if (sizeLimit)
        limit.emplace(*sizeLimit);
    ini.save();
}

void chooseCandidateCounts(const QString &plantedEntry)
{
    PageFixture<TabWidgetBasic> fixture;
    auto &page = fixture.build();
    if (!plantedEntry.isEmpty())
        page.m_changedSettings.insert(QStringLiteral("comboboxCandidateCount"),
                                      plantedEntry);
    fixture.perform(plantedEntry.isEmpty() ? QStringList{"2", "7"}
                                           : QStringList{"2"});
}

void addAndApplyWordLib()
{
    writeWordLib(Config::wordLibDirPath(WordLibDirPathUser) + "user.qlb",
                 QStringLiteral("用户词库"), QStringLiteral("墨岚"));
    const QString source = Config::homePath() + QStringLiteral("/新词.qlb");
    writeWordLib(source, QStringLiteral("新词库"), QStringLiteral("作者"));
    RecordingWordLibPage page;
    page.chosenFile = source;
    page.findChild<QPushButton *>()->click();
    page.findChild<QTableWidget *>()->item(1, 0)->setCheckState(Qt::Checked);
    page.apply();
}

/// The special page's write when the count drops sits between two pages.
void applyEveryPage()
{
    writeWordLib(Config::wordLibDirPath(WordLibDirPathUser) + "user.qlb",
                 QStringLiteral("用户词库"), QStringLiteral("墨岚"));
    RecordingMainWidget container;
    container.findChild<QComboBox *>("comboBoxCustomPhraseDisplayPos")
        ->setCurrentIndex(3);
    container.findChild<QComboBox *>("comboboxCandidateCount")
        ->setCurrentIndex(1);
    container.findChild<QTableWidget *>()->item(0, 0)->setCheckState(
        Qt::Unchecked);
    container.onButtonApplyClicked();
}
} // namespace

Q_DECLARE_METATYPE(Trigger)

class TestDebugLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void lines_data();
    void lines();

private:
    QTemporaryDir m_dir;
};

void TestDebugLines::initTestCase()
{
    // An address where nothing listens, before libibus first reads it:
    // every value the engine should get fails, and says so.
    qputenv("IBUS_ADDRESS",
            "unix:path=" + m_dir.filePath(QStringLiteral("none")).toUtf8());
    QVERIFY(ConfigBus::instance()->init());
    QString whyNot;
    // Its rows would add lines of their own.
    if (emptySystemWordLibDir(&whyNot).isEmpty())
        QFAIL(qPrintable(whyNot));
}

void TestDebugLines::lines_data()
{
    QTest::addColumn<Trigger>("trigger");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("int value for the engine")
        << Trigger([] {
               ConfigBus::instance()->setValue_Int(
                   QStringLiteral("candidateCount"), 5);
           })
        << QStringList{"name:  \"candidateCount\" , value:  5",
                       "candidateCount", failed};
    QTest::newRow("string value for the engine") << Trigger([] {
        ConfigBus::instance()->setValue_String(QStringLiteral("wordLibNames"),
                                               QStringLiteral("中文.qlb"));
    }) << QStringList{failed};
    QTest::newRow("candidate count chosen, then the saved one again")
        << Trigger([] { chooseCandidateCounts({}); })
        << QStringList{"Candidate changed info:  \"7,2\"",
                       "Candidate changed info:  \"\""};
    QTest::newRow("candidate count over an unreadable entry")
        << Trigger([] { chooseCandidateCounts(QStringLiteral("7;2")); })
        << QStringList{"Logic Error!", "Candidate changed info:  \"7;2\""};
    QTest::newRow("word libraries listed, added and applied")
        << Trigger(addAndApplyWordLib)
        << QStringList{'"' + Config::wordLibDirPath(WordLibDirPathSystem) + '"',
                       "[DEVDEBUG] Author:  \"墨岚\"",
                       "[DEVDEBUG] Name:  \"用户词库\"",
                       "[DEVDEBUG] Copied word lib name:  \"新词库\"",
                       "[DEVDEBUG] Copied word lib author:  \"作者\"",
                       "wordLibName:  \"user.qlb;新词.qlb\"",
                       failed};
    QTest::newRow("Apply of every page")
        << Trigger(applyEveryPage)
        << QStringList{'"' + Config::wordLibDirPath(WordLibDirPathSystem) + '"',
                       "[DEVDEBUG] Author:  \"墨岚\"",
                       "[DEVDEBUG] Name:  \"用户词库\"",
                       "Candidate changed info:  \"7,1\"",
                       "name:  \"candidateCount\" , value:  2",
                       "candidateCount",
                       failed,
                       "name:  \"customPhraseDisplayPos\" , value:  1",
                       "customPhraseDisplayPos",
                       failed,
                       "wordLibName:  \"\"",
                       failed,
                       "name:  \"customPhraseDisplayPos\" , value:  1",
                       "customPhraseDisplayPos",
                       failed};
    // One line per section released, then one for the document.
    QTest::newRow("INI file edited in place")
        << Trigger([] { editIniFile(std::nullopt); })
        << QStringList{"Destory", "Destory", "Destory", "destory"};
    // The document is kept for a retry: nothing is released.
    QTest::newRow("INI file that cannot be written")
        << Trigger([] { editIniFile(64); }) << QStringList();
}

void TestDebugLines::lines()
{
    QFETCH(Trigger, trigger);
    const TemporaryHome home;
    DebugCapture debug;
    trigger();
    QTEST(debug.lines(), "lines");
}

QTEST_MAIN(TestDebugLines)
#include "tst_debuglines.moc"
