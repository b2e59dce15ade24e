// SPDX-License-Identifier: GPL-2.0-or-later
// The word-library page: what it lists and in which order, the forced and
// stored ticks, the pending selection, apply and reset, and adding a
// library, with the file dialog and the message box scripted.
#include "app/MainWidget.h"
#include "config/Config.h"
#include "pages/TabWidgetWordLib.h"
#include "pages/WordLibFile.h"
#include "support/IBusDaemon.h"
#include "support/TestSupport.h"
#include "support/WordLibBuilder.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QtTest>

#include <functional>
#include <memory>
#include <sys/stat.h>

namespace
{
const QString defaultNames = QStringLiteral("user.qlb;sys.qlb");

/// The page with the add dialogue's file dialog and message box scripted.
class ScriptedWordLibPage : public TabWidgetWordLib
{
public:
    explicit ScriptedWordLibPage(QWidget *parent = nullptr)
        : TabWidgetWordLib(parent)
    {
    }

    QString chosenFile; ///< what the file dialog answers; null: cancelled
    QStringList failures;
    QStringList refusedFiles;

    QString realChooseWordLibFile()
    {
        return TabWidgetWordLib::chooseWordLibFile();
    }
    void realShowAddFailure(const QString &text, const QString &file)
    {
        TabWidgetWordLib::showAddFailure(text, file);
    }

protected:
    QString chooseWordLibFile() override { return chosenFile; }
    void showAddFailure(const QString &text, const QString &file) override
    {
        failures << text;
        refusedFiles << file;
    }
};

QTableWidget *tableOf(const QWidget &page)
{
    return page.findChild<QTableWidget *>();
}

/// One text per row: "<file name>:<forced|on|off|locked>"; locked: it
/// cannot be ticked, and says why in its tooltip.
QStringList rowsOf(const QWidget &page)
{
    QStringList rows;
    const QTableWidget *table = tableOf(page);
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *check = table->item(row, 0);
        const char *state = "off";
        if (!(check->flags() & Qt::ItemIsUserCheckable))
            state = check->checkState() == Qt::Checked ? "forced"
                    : check->toolTip().isEmpty()       ? "?"
                                                       : "locked";
        else if (check->checkState() == Qt::Checked)
            state = "on";
        rows << table->item(row, 2)->text() + QLatin1Char(':') +
                    QLatin1String(state);
    }
    return rows;
}

QStringList rowTexts(const QWidget &page, int row)
{
    QStringList texts;
    for (int column = 0; column < 4; ++column)
        texts << tableOf(page)->item(row, column)->text();
    return texts;
}

void setTicked(const QWidget &page, int row, Qt::CheckState state)
{
    tableOf(page)->item(row, 0)->setCheckState(state);
}

void clickAdd(const QWidget &page)
{
    page.findChild<QPushButton *>()->click();
}

/// Runs @p handle on the first modal dialog of type D to show up; the
/// caller then opens it (its nested event loop runs the timer).
template <typename D>
void handleNextModal(QObject *context, std::function<void(D *)> handle)
{
    auto *timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, handle] {
        if (auto *dialog =
                qobject_cast<D *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            handle(dialog);
        }
    });
    timer->start(10);
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                               QDir::Hidden | QDir::System);
}
} // namespace

class TestWordLibPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void listing_data();
    void listing();
    void listingLeavesOutWhatIsNoLibrary();
    void tableShowsTheHeaders();

    void tickingPendsTheSelection_data();
    void tickingPendsTheSelection();
    void applyCommitsOnce();
    void applyReachesTheEngineAndTheFile();
    void resetTicksTheDefaults();
    void resetThenBackToStoredLeavesNothingPending();

    void addCancelled();
    void addRefused_data();
    void addRefused();
    void addAppendsAnUntickedRow();
    void addCreatesTheUserDirectory();
    void addFromTheSystemDirectory();
    void realDialogsShowTheirTexts();

private:
    QString userLib(const QString &fileName) const;
    QString sysLib(const QString &fileName) const;
    void storeNames(const QString &names) const;

    IBusDaemon m_daemon;
    QString m_daemonWhyNot;
    QString m_sysDir;
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<RecordingConfigBus> m_bus;
};

void TestWordLibPage::initTestCase()
{
    QString whyNot;
    m_sysDir = testSystemWordLibDir(&whyNot);
    // A skip would pass unnoticed in ctest's summary.
    if (m_sysDir.isEmpty())
        QFAIL(qPrintable(whyNot));
    m_daemonWhyNot = m_daemon.start();
}

void TestWordLibPage::init()
{
    QVERIFY(QDir().mkpath(m_sysDir));
    QVERIFY(filesIn(m_sysDir).isEmpty());
    m_home = std::make_unique<TemporaryHome>();
    m_bus = std::make_unique<RecordingConfigBus>();
}

void TestWordLibPage::cleanup()
{
    m_bus.reset();
    m_home.reset();
    QVERIFY(QDir(m_sysDir).removeRecursively());
}

QString TestWordLibPage::userLib(const QString &fileName) const
{
    return Config::wordLibDirPath(WordLibDirPathUser) + fileName;
}

QString TestWordLibPage::sysLib(const QString &fileName) const
{
    return m_sysDir + fileName;
}

void TestWordLibPage::storeNames(const QString &names) const
{
    QSettings settings(Config::configFilePath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("wordlib/names"), names);
}

void TestWordLibPage::listing_data()
{
    QTest::addColumn<QStringList>("userFiles");
    QTest::addColumn<QStringList>("sysFiles");
    QTest::addColumn<QString>("stored"); // null: no key
    QTest::addColumn<QStringList>("rows");
    const QStringList user{"user.qlb", "a.qlb"};
    const QStringList sys{"sys.qlb"};
    QTest::newRow("nothing stored: only user.qlb and sys.qlb ticked")
        << user << sys << QString()
        << QStringList{"user.qlb:forced", "sys.qlb:forced", "a.qlb:off"};
    QTest::newRow("stored a.qlb is ticked, sys.qlb anyway")
        << user << sys << "user.qlb;a.qlb"
        << QStringList{"user.qlb:forced", "sys.qlb:forced", "a.qlb:on"};
    QTest::newRow("stored names are case-sensitive")
        << user << sys << "A.qlb;user.qlb"
        << QStringList{"user.qlb:forced", "sys.qlb:forced", "a.qlb:off"};
    QTest::newRow("same name in both directories gives two rows")
        << QStringList{"c.qlb"} << QStringList{"b.qlb", "c.qlb"} << "c.qlb"
        << QStringList{"c.qlb:on", "c.qlb:on", "b.qlb:off"};
    QTest::newRow("user, sys, active, user directory, then by name")
        << QStringList{"b.qlb", "user.qlb"}
        << QStringList{"z.qlb", "a.qlb", "sys.qlb", "c.qlb", "B.qlb"} << "a.qlb"
        << QStringList{"user.qlb:forced", "sys.qlb:forced", "a.qlb:on",
                       "b.qlb:off",       "B.qlb:off",      "c.qlb:off",
                       "z.qlb:off"};
    // ";" separates stored names: such a library cannot be made active.
    QTest::newRow("a name holding ;")
        << QStringList{"x;y.qlb", "y.qlb"} << QStringList{} << "x;y.qlb"
        << QStringList{"y.qlb:on", "x;y.qlb:locked"};
    QTest::newRow("no libraries")
        << QStringList{} << QStringList{} << QString() << QStringList{};
}

void TestWordLibPage::listing()
{
    QFETCH(QStringList, userFiles);
    QFETCH(QStringList, sysFiles);
    QFETCH(QString, stored);
    QFETCH(QStringList, rows);
    for (const QString &file : qAsConst(userFiles))
        QVERIFY(writeWordLib(userLib(file), file));
    for (const QString &file : qAsConst(sysFiles))
        QVERIFY(writeWordLib(sysLib(file), file));
    if (!stored.isNull())
        storeNames(stored);

    const ScriptedWordLibPage page;
    QCOMPARE(rowsOf(page), rows);
    QVERIFY(page.changedSettings().isEmpty());
    QStringList ticked;
    for (const QString &row : qAsConst(rows))
        if (row.endsWith(QLatin1String(":on")) ||
            row.endsWith(QLatin1String(":forced")))
            ticked << row.section(QLatin1Char(':'), 0, 0);
    QCOMPARE(page.selectedWordLibNames(), ticked.join(QLatin1Char(';')));
}

void TestWordLibPage::listingLeavesOutWhatIsNoLibrary()
{
    const QString elsewhere = m_home->path() + QStringLiteral("/elsewhere/");
    QVERIFY(writeWordLib(elsewhere + "target.qlb", QStringLiteral("链接")));
    for (const char *name : {"a.QLB", ".h.qlb", "x.qlb.bak", "e.qlb"})
        QVERIFY(writeWordLib(userLib(name), QString::fromLatin1(name)));
    QVERIFY(writeTestFile(userLib("nosig.qlb"),
                          QByteArray(WordLibLayout::headerSize, 'x')));
    QVERIFY(QDir().mkpath(userLib("b.qlb")));
    QCOMPARE(mkfifo(QFile::encodeName(userLib("c.qlb")).constData(), 0644), 0);
    QVERIFY(QFile::link(elsewhere + "target.qlb", userLib("d.qlb")));
    QVERIFY(QFile::link(elsewhere + "missing.qlb", userLib("f.qlb")));
    QVERIFY(writeWordLib(userLib("y.tar.qlb"), QStringLiteral("y")));
    QVERIFY(writeWordLib(sysLib("s.Qlb"), QStringLiteral("s")));
    QVERIFY(writeWordLib(sysLib("t.qlb"), QStringLiteral("t")));

    const ScriptedWordLibPage page;
    QCOMPARE(rowsOf(page), QStringList({"d.qlb:off", "e.qlb:off",
                                        "y.tar.qlb:off", "t.qlb:off"}));
    QCOMPARE(tableOf(page)->item(0, 0)->text(), QStringLiteral("链接"));
}

void TestWordLibPage::tableShowsTheHeaders()
{
    QVERIFY(writeWordLib(userLib("user.qlb"), QStringLiteral("用户词库"),
                         QStringLiteral("墨岚"), 0));
    QVERIFY(writeWordLib(sysLib("成语.qlb"), QStringLiteral("成语词库"),
                         QStringLiteral("示例作者"), -1));
    DebugCapture debug;
    const ScriptedWordLibPage page;
    QCOMPARE(debug.lines(),
             QStringList({'"' + m_sysDir + '"',
                          QStringLiteral("[DEVDEBUG] Author:  \"墨岚\""),
                          QStringLiteral("[DEVDEBUG] Name:  \"用户词库\""),
                          QStringLiteral("[DEVDEBUG] Author:  \"示例作者\""),
                          QStringLiteral("[DEVDEBUG] Name:  \"成语词库\"")}));

    QCOMPARE(rowTexts(page, 0),
             QStringList({"用户词库", "墨岚", "user.qlb", "0"}));
    QCOMPARE(rowTexts(page, 1),
             QStringList({"成语词库", "示例作者", "成语.qlb", "-1"}));
    QCOMPARE(page.findChild<QPushButton *>()->text(), QStringLiteral("添加"));
    const QTableWidget *table = tableOf(page);
    QCOMPARE(table->columnCount(), 4);
    QStringList labels;
    for (int column = 0; column < 4; ++column) {
        labels << table->horizontalHeaderItem(column)->text();
        QCOMPARE(table->horizontalHeader()->sectionResizeMode(column),
                 QHeaderView::Stretch);
        for (int row = 0; row < 2; ++row) {
            const Qt::ItemFlags flags = table->item(row, column)->flags();
            QVERIFY(!(flags & Qt::ItemIsEditable));
            QVERIFY(flags & Qt::ItemIsEnabled);
            if (column == 0) // the forced row's box cannot be changed
                QCOMPARE(bool(flags & Qt::ItemIsUserCheckable), row == 1);
            QCOMPARE(
                table->item(row, column)->data(Qt::CheckStateRole).isValid(),
                column == 0);
        }
    }
    QCOMPARE(labels, QStringList({"名称", "作者", "文件名", "词条"}));
    QVERIFY(!table->horizontalHeader()->sectionsClickable());
    QVERIFY(table->verticalHeader()->isHidden());
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);
}

void TestWordLibPage::tickingPendsTheSelection_data()
{
    // Rows: user.qlb, sys.qlb, a.qlb, c.qlb (user), c.qlb (system).
    QTest::addColumn<QList<QPair<int, int>>>("clicks"); // row, check state
    QTest::addColumn<QString>("pending");               // null: nothing
    QTest::newRow("tick a.qlb")
        << QList<QPair<int, int>>{{2, Qt::Checked}} << "user.qlb;sys.qlb;a.qlb";
    QTest::newRow("tick a.qlb and untick it again")
        << QList<QPair<int, int>>{{2, Qt::Checked}, {2, Qt::Unchecked}}
        << QString();
    QTest::newRow("both c.qlb rows put it twice")
        << QList<QPair<int, int>>{{4, Qt::Checked}, {3, Qt::Checked}}
        << "user.qlb;sys.qlb;c.qlb;c.qlb";
    QTest::newRow("a partial tick is no tick")
        << QList<QPair<int, int>>{{2, Qt::Checked}, {2, Qt::PartiallyChecked}}
        << QString();
}

void TestWordLibPage::tickingPendsTheSelection()
{
    using Click = QPair<int, int>;
    QFETCH(QList<Click>, clicks);
    QFETCH(QString, pending);
    for (const char *name : {"user.qlb", "a.qlb", "c.qlb"})
        QVERIFY(writeWordLib(userLib(name), QString::fromLatin1(name)));
    for (const char *name : {"sys.qlb", "c.qlb"})
        QVERIFY(writeWordLib(sysLib(name), QString::fromLatin1(name)));
    storeNames(QString()); // present but empty
    ScriptedWordLibPage page;
    QCOMPARE(page.selectedWordLibNames(), defaultNames);

    for (const Click &click : qAsConst(clicks))
        setTicked(page, click.first, Qt::CheckState(click.second));
    QCOMPARE(page.changedSettings().value(QStringLiteral("names")), pending);
    QCOMPARE(page.changedSettings().contains(QStringLiteral("names")),
             !pending.isNull());
    if (pending.isNull()) {
        QCOMPARE(page.apply(), (QMap<QString, QString>()));
        QVERIFY(m_bus->calls.isEmpty());
    }
}

void TestWordLibPage::applyCommitsOnce()
{
    QVERIFY(writeWordLib(userLib("user.qlb"), QStringLiteral("u")));
    QVERIFY(writeWordLib(sysLib("a.qlb"), QStringLiteral("a")));
    ScriptedWordLibPage page;
    setTicked(page, 1, Qt::Checked);

    DebugCapture debug;
    const QString names = QStringLiteral("user.qlb;a.qlb");
    QCOMPARE(page.apply(), (QMap<QString, QString>{{"names", names}}));
    QCOMPARE(debug.lines(),
             QStringList({QStringLiteral("wordLibName:  \"%1\"").arg(names)}));
    QCOMPARE(m_bus->calls, (BusCalls{{"wordLibNames", names}}));
    QVERIFY(page.changedSettings().isEmpty());

    QCOMPARE(page.apply(), (QMap<QString, QString>()));
    QCOMPARE(m_bus->calls.size(), 1);
    // The committed selection is now the saved one.
    setTicked(page, 1, Qt::Unchecked);
    setTicked(page, 1, Qt::Checked);
    QVERIFY(page.changedSettings().isEmpty());
}

void TestWordLibPage::applyReachesTheEngineAndTheFile()
{
    if (!m_daemonWhyNot.isEmpty())
        QSKIP(qPrintable(m_daemonWhyNot));
    m_bus.reset(); // back to the real bus
    QVERIFY(ConfigBus::instance()->init());
    for (const char *name : {"user.qlb", "sys.qlb"})
        QVERIFY(writeWordLib(sysLib(name), QString::fromLatin1(name)));
    QVERIFY(writeWordLib(userLib("成语.qlb"), QStringLiteral("成语")));

    MainWidget container;
    auto *page = container.findChild<TabWidgetWordLib *>();
    QVERIFY(page);
    setTicked(*page, 2, Qt::Checked);
    container.onButtonApplyClicked();

    const QString names = QStringLiteral("user.qlb;sys.qlb;成语.qlb");
    QCOMPARE(m_daemon.value(QStringLiteral("wordLibNames")), QVariant(names));
    const QSettings file(Config::configFilePath(), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("wordlib/names")).toString(), names);
}

void TestWordLibPage::resetTicksTheDefaults()
{
    for (const char *name : {"user.qlb", "a.qlb", "b.qlb", "sys.qlb"})
        QVERIFY(writeWordLib(sysLib(name), QString::fromLatin1(name)));
    storeNames(QStringLiteral("b.qlb;a.qlb"));
    ScriptedWordLibPage page;
    QCOMPARE(rowsOf(page), QStringList({"user.qlb:forced", "sys.qlb:forced",
                                        "a.qlb:on", "b.qlb:on"}));
    page.reset();
    QCOMPARE(rowsOf(page), QStringList({"user.qlb:forced", "sys.qlb:forced",
                                        "a.qlb:off", "b.qlb:off"}));
    QCOMPARE(page.apply(), (QMap<QString, QString>{{"names", defaultNames}}));

    // Already at the defaults: nothing moves, nothing pends.
    page.reset();
    QVERIFY(page.changedSettings().isEmpty());
}

// The settings file still holds the stored selection until the next
// apply(): a table that is back at it has nothing to commit, and one that
// shows the defaults must commit them.
void TestWordLibPage::resetThenBackToStoredLeavesNothingPending()
{
    for (const char *name : {"user.qlb", "sys.qlb", "a.qlb"})
        QVERIFY(writeWordLib(userLib(name), QString::fromLatin1(name)));
    storeNames(QStringLiteral("user.qlb;sys.qlb;a.qlb"));
    ScriptedWordLibPage page;
    page.reset();
    QCOMPARE(page.changedSettings().value(QStringLiteral("names")),
             defaultNames);

    setTicked(page, 2, Qt::Checked);
    QVERIFY(page.changedSettings().isEmpty());
    setTicked(page, 2, Qt::Unchecked);
    QCOMPARE(page.apply(), (QMap<QString, QString>{{"names", defaultNames}}));
    QCOMPARE(m_bus->calls, (BusCalls{{"wordLibNames", defaultNames}}));
}

void TestWordLibPage::addCancelled()
{
    QVERIFY(writeWordLib(userLib("user.qlb"), QStringLiteral("u")));
    ScriptedWordLibPage page;
    clickAdd(page);
    QVERIFY(page.failures.isEmpty());
    QCOMPARE(rowsOf(page), QStringList({"user.qlb:forced"}));
}

void TestWordLibPage::addRefused_data()
{
    QTest::addColumn<QString>("chosen"); // relative to HOME
    QTest::addColumn<QString>("message");
    const QString inList = QStringLiteral("该词库已经在词库列表中！");
    const QString invalid = QStringLiteral("非法的词库文件！");
    QTest::newRow("in the user directory")
        << ".config/quilmo/wordlib/user.qlb" << inList;
    QTest::newRow("in the user directory, spelt otherwise")
        << ".config/quilmo/../quilmo/./wordlib/x.qlb" << inList;
    QTest::newRow("same name in the user directory")
        << "src/x.qlb" << QStringLiteral("词库目录存在同名文件，无法创建！");
    QTest::newRow("no signature") << "src/nosig.qlb" << invalid;
    QTest::newRow("fifo") << "src/fifo.qlb" << invalid;
    QTest::newRow("; in the name")
        << "src/x;y.qlb" << QStringLiteral("词库文件名中不能含有分号（;）！");
    QTest::newRow("user directory is a file")
        << "src/new.qlb" << QStringLiteral("拷贝词库文件失败！");
}

void TestWordLibPage::addRefused()
{
    QFETCH(QString, chosen);
    QFETCH(QString, message);
    const QString home = m_home->path() + QLatin1Char('/');
    QVERIFY(writeWordLib(home + "src/x.qlb", QStringLiteral("另一个")));
    QVERIFY(writeWordLib(home + "src/new.qlb", QStringLiteral("新")));
    QVERIFY(writeWordLib(home + "src/x;y.qlb", QStringLiteral("分号")));
    QVERIFY(writeTestFile(home + "src/nosig.qlb",
                          QByteArray(WordLibLayout::headerSize, '\0')));
    QCOMPARE(mkfifo(QFile::encodeName(home + "src/fifo.qlb").constData(), 0644),
             0);
    const QString userDir = Config::wordLibDirPath(WordLibDirPathUser);
    if (QTest::currentDataTag() == QLatin1String("user directory is a file")) {
        QVERIFY(writeTestFile(QDir::cleanPath(userDir), "not a directory"));
    } else {
        QVERIFY(writeWordLib(userLib("user.qlb"), QStringLiteral("u")));
        QVERIFY(writeWordLib(userLib("x.qlb"), QStringLiteral("x")));
    }
    const QStringList userFiles = filesIn(userDir);
    ScriptedWordLibPage page;
    const QStringList rows = rowsOf(page);

    page.chosenFile = home + chosen;
    clickAdd(page);
    QCOMPARE(page.failures, QStringList({message}));
    QCOMPARE(page.refusedFiles, QStringList({page.chosenFile}));
    QCOMPARE(rowsOf(page), rows);
    QCOMPARE(filesIn(userDir), userFiles);
    QVERIFY(page.changedSettings().isEmpty());
}

void TestWordLibPage::addAppendsAnUntickedRow()
{
    QVERIFY(writeWordLib(userLib("user.qlb"), QStringLiteral("u")));
    QVERIFY(writeWordLib(userLib("a.qlb"), QStringLiteral("a")));
    const QString source = m_home->path() + QStringLiteral("/src/新词.qlb");
    const QByteArray content =
        wordLibHeader(QStringLiteral("新词库"), QStringLiteral("作者"), 42) +
        QByteArray(1000, '\x5A');
    QVERIFY(writeTestFile(source, content));
    ScriptedWordLibPage page;
    setTicked(page, 1, Qt::Checked);
    const QMap<QString, QString> pending = page.changedSettings();

    DebugCapture debug;
    page.chosenFile = source;
    clickAdd(page);
    QVERIFY(page.failures.isEmpty());
    QCOMPARE(rowsOf(page),
             QStringList({"user.qlb:forced", "a.qlb:on", "新词.qlb:off"}));
    QCOMPARE(rowTexts(page, 2),
             QStringList({"新词库", "作者", "新词.qlb", "42"}));
    QCOMPARE(page.changedSettings(), pending);
    QCOMPARE(
        debug.lines(),
        QStringList(
            {QStringLiteral("[DEVDEBUG] Copied word lib name:  \"新词库\""),
             QStringLiteral("[DEVDEBUG] Copied word lib author:  \"作者\"")}));
    QFile copy(userLib(QStringLiteral("新词.qlb")));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), content);
}

void TestWordLibPage::addCreatesTheUserDirectory()
{
    QVERIFY(writeWordLib(sysLib("sys.qlb"), QStringLiteral("s")));
    const QString source = m_home->path() + QStringLiteral("/src/user.qlb");
    QVERIFY(writeWordLib(source, QStringLiteral("u")));
    ScriptedWordLibPage page;
    QVERIFY(!QFileInfo::exists(Config::wordLibDirPath(WordLibDirPathUser)));

    page.chosenFile = source;
    clickAdd(page);
    QVERIFY(page.failures.isEmpty());
    QVERIFY(QFileInfo(userLib("user.qlb")).isFile());
    // Even a user.qlb comes in unticked until the page is built again.
    QCOMPARE(rowsOf(page), QStringList({"sys.qlb:forced", "user.qlb:off"}));
}

void TestWordLibPage::addFromTheSystemDirectory()
{
    QVERIFY(writeWordLib(sysLib("c.qlb"), QStringLiteral("c")));
    storeNames(QStringLiteral("c.qlb"));
    ScriptedWordLibPage page;
    page.chosenFile = sysLib("c.qlb");
    clickAdd(page);
    QVERIFY(page.failures.isEmpty());
    QCOMPARE(rowsOf(page), QStringList({"c.qlb:on", "c.qlb:off"}));
    QVERIFY(QFileInfo(userLib("c.qlb")).isFile());
}

void TestWordLibPage::realDialogsShowTheirTexts()
{
    ScriptedWordLibPage page;
    QString title;
    QString directory;
    QStringList filters;
    QWidget *parent = nullptr;
    handleNextModal<QFileDialog>(&page, [&](QFileDialog *dialog) {
        title = dialog->windowTitle();
        directory = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        parent = dialog->parentWidget();
        dialog->reject();
    });
    QVERIFY(page.realChooseWordLibFile().isNull());
    QCOMPARE(title, QStringLiteral("选择词库"));
    QCOMPARE(directory, m_home->path()); // where the user keeps files
    QCOMPARE(filters, QStringList({"词库文件 (*.qlb)"}));
    QCOMPARE(parent, &page);

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QStringList buttons;
    handleNextModal<QMessageBox>(&page, [&](QMessageBox *box) {
        icon = box->icon();
        title = box->windowTitle();
        text = box->text() + QLatin1Char('|') + box->informativeText();
        parent = box->parentWidget();
        for (QAbstractButton *button : box->buttons())
            buttons << button->text();
        box->buttons().first()->click();
    });
    page.realShowAddFailure(QStringLiteral("非法的词库文件！"),
                            QStringLiteral("/x/y.qlb"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(title, QStringLiteral("添加失败"));
    QCOMPARE(text, QStringLiteral("非法的词库文件！|文件：/x/y.qlb"));
    QCOMPARE(buttons, QStringList({"确定"}));
    QCOMPARE(parent, &page);
}

QTEST_MAIN(TestWordLibPage)
#include "tst_wordlibpage.moc"
