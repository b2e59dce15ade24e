// SPDX-License-Identifier: GPL-2.0-or-later
// The word-library page: what it lists and in which order, the forced and
// stored ticks, the pending selection, apply and reset, and adding a
// library, with the file dialog and the message box scripted.
#include "config/Config.h"
#include "pages/WordLibFile.h"
#include "support/PageFixture.h"
#include "support/Restrictions.h"
#include "support/WordLibBuilder.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>

#include <cstdio>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using Fixture = PageFixture<RecordingWordLibPage>;

QByteArray storedNames(const QString &names)
{
    return "[wordlib]\nnames=\"" + names.toUtf8() + "\"\n";
}

QString userLib(const QString &fileName)
{
    return Config::wordLibDirPath(WordLibDirPathUser) + fileName;
}

/// Writes a library named after its file for each of @p fileNames.
bool writeWordLibs(const QString &dir, const QStringList &fileNames)
{
    for (const QString &fileName : fileNames) {
        if (!writeWordLib(dir + fileName, fileName))
            return false;
    }
    return true;
}

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
    void undecodableNameIsListedAndRemovable();
    void listingLeavesOutWhatIsNoLibrary();
    void tableShowsTheHeaders();

    void edits_data();
    void edits();

    void add_data();
    void add();
    void addFailuresSayWhy_data();
    void addFailuresSayWhy();
    void longAddShowsProgressAndCancels_data();
    void longAddShowsProgressAndCancels();
    void remove_data();
    void remove();
    void closingKeepsRemovalsInOneBox_data();
    void closingKeepsRemovalsInOneBox();
    void systemLibrariesStayThroughALinkedUserDir();
    void realDialogsShowTheirTexts();

private:
    QString m_sysDir;
};

void TestWordLibPage::initTestCase()
{
    QString whyNot;
    m_sysDir = emptySystemWordLibDir(&whyNot);
    // A skip would pass unnoticed in ctest's summary.
    if (m_sysDir.isEmpty())
        QFAIL(qPrintable(whyNot));
}

void TestWordLibPage::init()
{
    QVERIFY(QDir().mkpath(m_sysDir));
    QVERIFY(filesIn(m_sysDir).isEmpty());
}

void TestWordLibPage::cleanup()
{
    QVERIFY(QDir(m_sysDir).removeRecursively());
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
    QTest::newRow("a user's sys.qlb beside the system's")
        << QStringList{"sys.qlb", "a.qlb"} << sys << "sys.qlb;a.qlb"
        << QStringList{"sys.qlb:locked", "sys.qlb:forced", "a.qlb:on"};
    QTest::newRow("no libraries")
        << QStringList{} << QStringList{} << QString() << QStringList{};
}

void TestWordLibPage::listing()
{
    QFETCH(QStringList, userFiles);
    QFETCH(QStringList, sysFiles);
    QFETCH(QString, stored);
    QFETCH(QStringList, rows);
    Fixture fixture;
    QVERIFY(writeWordLibs(userLib({}), userFiles));
    QVERIFY(writeWordLibs(m_sysDir, sysFiles));
    const auto &page =
        fixture.build(stored.isNull() ? QByteArray() : storedNames(stored));
    QCOMPARE(rowsOf(page), rows);
    QVERIFY(fixture.pending().isEmpty());
    QStringList ticked;
    for (const QString &row : qAsConst(rows))
        if (row.endsWith(QLatin1String(":on")) ||
            row.endsWith(QLatin1String(":forced")))
            ticked << row.section(QLatin1Char(':'), 0, 0);
    QCOMPARE(page.selectedWordLibNames(), ticked.join(QLatin1Char(';')));
    fixture.page().reset(); // locked rows keep their state
    QCOMPARE(rowsOf(page).filter(":locked"), rows.filter(":locked"));
}

void TestWordLibPage::undecodableNameIsListedAndRemovable()
{
    Fixture fixture;
    const QByteArray path = QFile::encodeName(userLib({})) + "b\xE9.qlb";
    QVERIFY(writeWordLib(userLib("b.qlb"), QStringLiteral("旧")));
    QCOMPARE(rename(QFile::encodeName(userLib("b.qlb")), path), 0);
    auto &page = fixture.build();
    QCOMPARE(rowsOf(page), QStringList{"b\uFFFD.qlb:locked"});
    tableOf(page)->setCurrentCell(0, 0);
    page.findChildren<QPushButton *>().at(1)->click(); // 删除
    QVERIFY(page.finishCommit(true, true));
    QCOMPARE(access(path.constData(), F_OK), -1); // its own bytes went
}

void TestWordLibPage::listingLeavesOutWhatIsNoLibrary()
{
    Fixture fixture;
    const QString elsewhere = fixture.home() + QStringLiteral("/elsewhere/");
    QVERIFY(writeWordLib(elsewhere + "target.qlb", QStringLiteral("链接")));
    QVERIFY(writeWordLibs(
        userLib({}), {"a.QLB", ".h.qlb", "x.qlb.bak", "e.qlb", "y.tar.qlb"}));
    QVERIFY(writeFile(userLib("nosig.qlb"),
                      QByteArray(WordLibLayout::headerSize, 'x')));
    QVERIFY(QDir().mkpath(userLib("b.qlb")));
    QCOMPARE(mkfifo(QFile::encodeName(userLib("c.qlb")).constData(), 0644), 0);
    QVERIFY(QFile::link(elsewhere + "target.qlb", userLib("d.qlb")));
    QVERIFY(QFile::link(elsewhere + "missing.qlb", userLib("f.qlb")));
    QVERIFY(writeWordLibs(m_sysDir, {"s.Qlb", "t.qlb"}));

    const auto &page = fixture.build();
    QCOMPARE(rowsOf(page), QStringList({"d.qlb:off", "e.qlb:off",
                                        "y.tar.qlb:off", "t.qlb:off"}));
    QCOMPARE(tableOf(page)->item(0, 0)->text(), QStringLiteral("链接"));
}

void TestWordLibPage::tableShowsTheHeaders()
{
    Fixture fixture;
    QVERIFY(writeWordLib(userLib("user.qlb"), QStringLiteral("用户词库"),
                         QStringLiteral("墨岚"), 0));
    QVERIFY(writeWordLib(m_sysDir + "成语.qlb", QStringLiteral("成语词库"),
                         QStringLiteral("示例作者"), -1));
    const auto &page = fixture.build();
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

void TestWordLibPage::edits_data()
{
    Fixture::addEditColumns();
    const auto names = [](const char *selection) {
        return Settings{{"names", selection}};
    };
    const auto sent = [](const char *selection) {
        return BusCalls{{"wordLibNames", selection}};
    };
    // Rows: user.qlb, sys.qlb, a.qlb, c.qlb (user), b.qlb, c.qlb (system).
    const QByteArray none = storedNames({}); // present but empty
    QTest::newRow("tick a.qlb")
        << none << QStringList{"tick 2"} << names("user.qlb;sys.qlb;a.qlb")
        << names("user.qlb;sys.qlb;a.qlb") << sent("user.qlb;sys.qlb;a.qlb");
    QTest::newRow("tick a.qlb and untick it again")
        << none << QStringList{"tick 2", "untick 2"} << Settings() << Settings()
        << BusCalls();
    QTest::newRow("both c.qlb rows put it twice")
        << none << QStringList{"tick 5", "tick 3"}
        << names("user.qlb;sys.qlb;c.qlb;c.qlb")
        << names("user.qlb;sys.qlb;c.qlb;c.qlb")
        << sent("user.qlb;sys.qlb;c.qlb;c.qlb");
    QTest::newRow("a partial tick is no tick")
        << none << QStringList{"tick 2", "partial 2"} << Settings()
        << Settings() << BusCalls();
    QTest::newRow("the applied selection is the saved one")
        << none << QStringList{"tick 2", "apply", "untick 2", "tick 2"}
        << Settings() << Settings() << sent("user.qlb;sys.qlb;a.qlb");
    // Rows: user.qlb, sys.qlb, a.qlb, b.qlb, c.qlb (user), c.qlb (system).
    const QByteArray stored = storedNames(QStringLiteral("b.qlb;a.qlb"));
    QTest::newRow("reset ticks the defaults")
        << stored << QStringList{"reset"} << names("user.qlb;sys.qlb")
        << names("user.qlb;sys.qlb") << sent("user.qlb;sys.qlb");
    QTest::newRow("reset at the defaults pends nothing")
        << stored << QStringList{"reset", "apply", "reset"} << Settings()
        << Settings() << sent("user.qlb;sys.qlb");
    // The settings file still holds the stored selection until the next
    // apply(): a table back at it has nothing to commit, one that shows
    // the defaults must commit them.
    const QByteArray withA = storedNames(QStringLiteral("user.qlb;a.qlb"));
    QTest::newRow("reset, then back to the stored selection")
        << withA << QStringList{"reset", "tick 2"} << Settings() << Settings()
        << BusCalls();
    QTest::newRow("reset, back and away again")
        << withA << QStringList{"reset", "tick 2", "untick 2"}
        << names("user.qlb;sys.qlb") << names("user.qlb;sys.qlb")
        << sent("user.qlb;sys.qlb");
}

void TestWordLibPage::edits()
{
    Fixture fixture;
    QVERIFY(writeWordLibs(userLib({}), {"user.qlb", "a.qlb", "c.qlb"}));
    QVERIFY(writeWordLibs(m_sysDir, {"sys.qlb", "b.qlb", "c.qlb"}));
    fixture.checkEdits();
}

void TestWordLibPage::add_data()
{
    QTest::addColumn<QString>("userDir");   // "", "missing" or "file"
    QTest::addColumn<QString>("chosen");    // relative to HOME; null: cancelled
    QTest::addColumn<QString>("message");   // empty: added
    QTest::addColumn<QStringList>("added"); // the new row's texts
    const QString inList = QStringLiteral("该词库已经在词库列表中！");
    const QString invalid = QStringLiteral("非法的词库文件！");
    QTest::newRow("cancelled") << "" << QString() << "" << QStringList();
    QTest::newRow("added as the last row, unticked")
        << ""
        << "src/新词.qlb"
        << "" << QStringList{"新词库", "作者", "新词.qlb", "42"};
    const QString systemName =
        QStringLiteral("系统词库中已有同名词库，无法添加！");
    QTest::newRow("from the system directory")
        << "" << m_sysDir + "c.qlb" << systemName << QStringList();
    const QString none;
    QTest::newRow("named like a system library")
        << none << "src/sys.qlb" << systemName << QStringList();
    const QString badName =
        QStringLiteral("词库文件名须以小写的 .qlb 结尾，且不能以点（.）开头！");
    QTest::newRow("hidden") << none << "src/.h.qlb" << badName << QStringList();
    QTest::newRow("upper case")
        << none << "src/UPPER.QLB" << badName << QStringList();
    // Even a user.qlb comes in unticked until the page is built again.
    QTest::newRow("user directory made")
        << "missing"
        << "src/user.qlb"
        << "" << QStringList{"user.qlb", "", "user.qlb", "0"};
    // 247 bytes: the longest names leave no room for a copy named after it.
    const QString longName = QString(81, QChar(0x8BCD)) + ".qlb";
    QTest::newRow("a name of 247 bytes")
        << none << "src/" + longName << none
        << QStringList{QString(8, QChar(0x8BCD)), "", longName, "0"};
    QTest::newRow("in the user directory")
        << ""
        << ".config/quilmo/wordlib/user.qlb" << inList << QStringList();
    QTest::newRow("in the user directory, spelt otherwise")
        << ""
        << ".config/quilmo/../quilmo/./wordlib/x.qlb" << inList
        << QStringList();
    QTest::newRow("same name in the user directory")
        << ""
        << "src/x.qlb"
        << "词库目录存在同名文件，无法创建！" << QStringList();
    QTest::newRow("no signature")
        << ""
        << "src/nosig.qlb" << invalid << QStringList();
    QTest::newRow("fifo") << ""
                          << "src/fifo.qlb" << invalid << QStringList();
    QTest::newRow("; in the name")
        << ""
        << "src/x;y.qlb"
        << "词库文件名中不能含有分号（;）！" << QStringList();
    QTest::newRow("user directory is a file")
        << "file"
        << "src/user.qlb"
        << "拷贝词库文件失败！\n原因：路径中有一部分不是目录。"
        << QStringList();
}

void TestWordLibPage::addFailuresSayWhy_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    const QString copyFailed = QStringLiteral("拷贝词库文件失败！\n原因：");
    QTest::newRow("read-only")
        << "read-only" << copyFailed + "文件系统是只读的。";
    QTest::newRow("disk full") << "full" << copyFailed + "磁盘空间不足。";
    QTest::newRow("no permission to write")
        << "unwritable" << copyFailed + "没有写入权限。";
    QTest::newRow("no permission to read")
        << "unreadable"
        << "无法读取词库文件！\n原因：没有读取权限。";
}

void TestWordLibPage::addFailuresSayWhy()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    if (geteuid() != 0)
        QSKIP("the faults are root's mounts and another user id");
    Fixture fixture;
    const QString source = fixture.home() + QStringLiteral("/src/big.qlb");
    QVERIFY(writeFile(source, wordLibHeader("大", {}, 1) +
                                  QByteArray(256 * 1024, 'x')));
    QVERIFY(QDir().mkpath(userLib({})));
    auto &page = fixture.build();
    page.chosenFile = source;
    std::optional<ReadOnlyPath> readOnly;
    std::optional<SmallFileSystem> small;
    if (fault == QLatin1String("read-only"))
        QCOMPARE(readOnly.emplace(userLib({})).whyNot(), QString());
    if (fault == QLatin1String("full"))
        QCOMPARE(small.emplace(userLib({}), 64).whyNot(), QString());
    // Nobody may pass through the home, but not write to it.
    QCOMPARE(chmod(QFile::encodeName(fixture.home()), 0711), 0);
    if (fault == QLatin1String("unreadable"))
        QCOMPARE(chmod(QFile::encodeName(source), 0600), 0);
    const std::function<int()> add = [&] {
        page.findChild<QPushButton *>()->click();
        return int(page.failures == QStringList{message});
    };
    QCOMPARE(fault.startsWith("un") ? runAsNobody(add) : add(), 1);
    QCOMPARE(filesIn(userLib({})), QStringList()); // no partial file
}

void TestWordLibPage::add()
{
    QFETCH(QString, userDir);
    QFETCH(QString, chosen);
    QFETCH(QString, message);
    QFETCH(QStringList, added);
    Fixture fixture;
    const QString src = fixture.home() + QStringLiteral("/src/");
    QVERIFY(
        writeWordLibs(src, {"x.qlb", "x;y.qlb", "user.qlb", "sys.qlb", ".h.qlb",
                            "UPPER.QLB", QString(81, QChar(0x8BCD)) + ".qlb"}));
    const QByteArray content =
        wordLibHeader(QStringLiteral("新词库"), QStringLiteral("作者"), 42) +
        QByteArray(1000, '\x5A');
    QVERIFY(writeFile(src + "新词.qlb", content));
    QVERIFY(writeFile(src + "nosig.qlb",
                      QByteArray(WordLibLayout::headerSize, '\0')));
    QCOMPARE(mkfifo(QFile::encodeName(src + "fifo.qlb").constData(), 0644), 0);
    QVERIFY(writeWordLibs(m_sysDir, {"c.qlb", "sys.qlb"}));
    if (userDir == QLatin1String("file"))
        QVERIFY(writeFile(QDir::cleanPath(userLib({})), "not a directory"));
    else if (userDir.isEmpty())
        QVERIFY(writeWordLibs(userLib({}), {"user.qlb", "x.qlb"}));
    auto &page = fixture.build(storedNames(QStringLiteral("c.qlb")));
    const int rowCount = tableOf(page)->rowCount();
    fixture.perform({QStringLiteral("tick %1").arg(rowCount - 1)});
    const Settings pending = fixture.pending();
    const QStringList rows = rowsOf(page);
    const QStringList userFiles = filesIn(userLib({}));

    page.chosenFile = chosen.isNull()
                          ? chosen
                          : QDir(fixture.home()).absoluteFilePath(chosen);
    page.findChild<QPushButton *>()->click();
    const bool refused = !message.isEmpty();
    QCOMPARE(page.failures, refused ? QStringList{message} : QStringList());
    QCOMPARE(page.refusedFiles,
             refused ? QStringList{page.chosenFile} : QStringList());
    QCOMPARE(fixture.pending(), pending);
    if (added.isEmpty()) {
        QCOMPARE(rowsOf(page), rows);
        QCOMPARE(filesIn(userLib({})), userFiles);
        return;
    }
    QCOMPARE(rowsOf(page), rows + QStringList{added.at(2) + ":off"});
    QCOMPARE(rowTexts(page, rowCount), added);
    QCOMPARE(tableOf(page)->currentRow(), rowCount); // shown and current
    QCOMPARE(page.focusWidget(), tableOf(page));
    QCOMPARE(readFile(userLib(added.at(2))), readFile(page.chosenFile));
}

void TestWordLibPage::longAddShowsProgressAndCancels_data()
{
    QTest::addColumn<bool>("escape"); // to the dialog itself; else 取消
    QTest::newRow("取消") << false;
    QTest::newRow("Esc") << true;
}

void TestWordLibPage::longAddShowsProgressAndCancels()
{
    QFETCH(bool, escape);
    Fixture fixture;
    const QString source =
        fixture.home() + QStringLiteral("/src/<b>大</b>.qlb");
    QVERIFY(writeFile(source, wordLibHeader("大", {}, 1)));
    QVERIFY(QFile::resize(source, qint64(8) << 30)); // sparse
    auto &page = fixture.build();
    page.chosenFile = source;
    QString label;
    bool resetsAtFull = true;
    handleNextModal<QProgressDialog>(&page, [&](QProgressDialog *dialog) {
        const auto *text = dialog->findChild<QLabel *>();
        label = text->textFormat() == Qt::PlainText ? text->text() : "";
        // A source that grows past 100 % hid it, and the cancel with it.
        resetsAtFull = dialog->autoReset();
        escape ? QTest::keyClick(dialog, Qt::Key_Escape) : dialog->cancel();
    });
    const FileSizeLimit bound(qint64(4) << 30); // should the cancel not work
    page.findChild<QPushButton *>()->click();
    QCOMPARE(label, "正在拷贝：" + source);
    QVERIFY(!resetsAtFull);
    QCOMPARE(page.failures, QStringList());
    QCOMPARE(filesIn(userLib({})), QStringList());
}

void TestWordLibPage::remove_data()
{
    QTest::addColumn<int>("row"); // of user.qlb, sys.qlb, a.qlb (active), c.qlb
    QTest::addColumn<bool>("confirmed");
    // "delivered", "undelivered", "unsaved" (the settings file), "fails",
    // "replaced", "gone" (before the commit), "re-added" (then delivered)
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QStringList>("rows");  // after 删除
    QTest::addColumn<BusCalls>("calls");    // after the commit
    QTest::addColumn<QStringList>("files"); // left in the user directory
    QTest::addColumn<QString>("failure");
    const QStringList all = {"user.qlb:forced", "sys.qlb:forced", "a.qlb:on",
                             "c.qlb:off"};
    const QStringList withoutA = {"user.qlb:forced", "sys.qlb:forced",
                                  "c.qlb:off"};
    const QStringList libraries = {"a.qlb", "c.qlb", "user.qlb"};
    const BusCalls withoutASent = {{"wordLibNames", "user.qlb;sys.qlb"}};
    QTest::newRow("an active library: the selection first, then the file")
        << 2 << true << "delivered" << withoutA << withoutASent
        << QStringList{"c.qlb", "user.qlb"} << "";
    // Sent all the same: only what the engine took proves it done with.
    QTest::newRow("an inactive one: the selection again, then the file")
        << 3 << true << "delivered" << QStringList(all.mid(0, 3))
        << BusCalls{{"wordLibNames", "user.qlb;sys.qlb;a.qlb"}}
        << QStringList{"a.qlb", "user.qlb"} << "";
    // The engine may still use it: the file waits for the next commit.
    QTest::newRow("the engine did not get the selection")
        << 2 << true << "undelivered" << withoutA << withoutASent << libraries
        << "";
    QTest::newRow("the settings file still names it")
        << 2 << true << "unsaved" << withoutA << withoutASent << libraries
        << "";
    // Back as it was, ticked and pending again: nothing is lost.
    QTest::newRow("the file cannot go")
        << 2 << true << "fails" << withoutA << withoutASent << libraries
        << QStringLiteral("无法删除词库文件！\n原因：") +
               (geteuid() == 0 ? "文件系统是只读的。" : "没有写入权限。");
    QTest::newRow("another file in its place")
        << 2 << true << "replaced" << withoutA << withoutASent << libraries
        << "确认删除后，这个文件已被替换或修改，没有删除。";
    QTest::newRow("gone already")
        << 2 << true << "gone" << withoutA << withoutASent
        << QStringList{"c.qlb", "user.qlb"} << "";
    QTest::newRow("added again while it waits")
        << 2 << true << "re-added" << withoutA << withoutASent
        << QStringList{"c.qlb", "user.qlb"}
        << "同名词库正等待删除，请在应用完成删除后再添加！";
    QTest::newRow("added again from its own folder")
        << 2 << true << "re-added here" << withoutA << withoutASent
        << QStringList{"c.qlb", "user.qlb"}
        << "同名词库正等待删除，请在应用完成删除后再添加！";
    QTest::newRow("declined")
        << 3 << false << "delivered" << all << BusCalls() << libraries << "";
    QTest::newRow("user.qlb")
        << 0 << true << "delivered" << all << BusCalls() << libraries << "";
    QTest::newRow("a system library")
        << 1 << true << "delivered" << all << BusCalls() << libraries << "";
}

void TestWordLibPage::remove()
{
    QFETCH(int, row);
    QFETCH(bool, confirmed);
    QFETCH(QString, commit);
    QFETCH(QStringList, rows);
    QFETCH(BusCalls, calls);
    QFETCH(QStringList, files);
    QFETCH(QString, failure);
    Fixture fixture;
    QVERIFY(writeWordLibs(userLib({}), {"user.qlb", "a.qlb", "c.qlb"}));
    QVERIFY(writeWordLibs(m_sysDir, {"sys.qlb"}));
    auto &page = fixture.build(storedNames(QStringLiteral("a.qlb")));
    page.removalConfirmed = confirmed;
    tableOf(page)->setCurrentCell(row, 2);
    page.findChildren<QPushButton *>().at(1)->click(); // 删除
    QCOMPARE(rowsOf(page), rows);
    QCOMPARE(filesIn(userLib({})).size(), 3); // nothing gone before a commit

    std::optional<ReadOnlyPath> locked;
    if (commit == QLatin1String("fails") &&
        !locked.emplace(userLib({})).whyNot().isEmpty())
        QSKIP(qPrintable(locked->whyNot()));
    if (commit == QLatin1String("replaced"))
        QVERIFY(writeWordLib(userLib("a.qlb"), QStringLiteral("新下载")));
    if (commit == QLatin1String("gone"))
        QVERIFY(QFile::remove(userLib("a.qlb")));
    if (commit.startsWith(QLatin1String("re-added"))) {
        QVERIFY(writeWordLib(fixture.home() + "/a.qlb", QStringLiteral("新")));
        page.chosenFile = commit.endsWith(QLatin1String("here"))
                              ? userLib("a.qlb")
                              : fixture.home() + "/a.qlb";
        page.findChildren<QPushButton *>().at(0)->click(); // 添加
    }
    fixture.apply();
    const bool finished =
        page.finishCommit(commit != "unsaved", commit != "undelivered");
    locked.reset();
    QCOMPARE(fixture.calls(), calls);
    QCOMPARE(filesIn(userLib({})), files);
    QCOMPARE(page.failures,
             failure.isEmpty() ? QStringList() : QStringList{failure});
    QCOMPARE(finished, commit != "fails" && commit != "replaced");
    QCOMPARE(page.hasPendingChanges(), commit == "undelivered" ||
                                           commit == "unsaved" ||
                                           commit == "fails");
    if (commit == QLatin1String("fails"))
        QCOMPARE(rowsOf(page), rows + QStringList{"a.qlb:on"});
    if (commit == QLatin1String("replaced")) // a new library, not ticked
        QCOMPARE(rowsOf(page), rows + QStringList{"a.qlb:off"});
}

void TestWordLibPage::closingKeepsRemovalsInOneBox_data()
{
    QTest::addColumn<bool>("readOnly"); // applied; else closed
    QTest::newRow("closed") << false;
    QTest::newRow("applied, read-only") << true;
}

void TestWordLibPage::closingKeepsRemovalsInOneBox()
{
    QFETCH(bool, readOnly);
    Fixture fixture;
    QStringList names;
    for (char c = 'a'; c <= 'l'; ++c)
        names << QString(c) + ".qlb";
    QVERIFY(writeWordLibs(userLib({}), names));
    auto &page = fixture.build();
    for (int row = 0; row < names.size(); ++row) {
        tableOf(page)->setCurrentCell(0, 2);
        page.findChildren<QPushButton *>().at(1)->click(); // 删除
    }
    std::optional<ReadOnlyPath> locked;
    if (readOnly && !locked.emplace(userLib({})).whyNot().isEmpty())
        QSKIP(qPrintable(locked->whyNot()));
    if (readOnly) {
        fixture.apply();
        page.finishCommit(true, true);
    } else {
        page.dropPending();
    }
    QCOMPARE(page.failures.size(), 1);
    QCOMPARE(page.refusedFiles.value(0).split('\n').size(), 11); // 10 and …
    QCOMPARE(filesIn(userLib({})), names);
}

void TestWordLibPage::systemLibrariesStayThroughALinkedUserDir()
{
    Fixture fixture;
    QVERIFY(writeWordLibs(m_sysDir, {"s.qlb"}));
    QVERIFY(QDir().mkpath(Config::configDirPath()));
    QVERIFY(QFile::link(m_sysDir, QDir::cleanPath(userLib({}))));
    auto &page = fixture.build();
    QCOMPARE(rowsOf(page), QStringList({"s.qlb:off", "s.qlb:off"}));
    for (int row = 0; row < 2; ++row) {
        tableOf(page)->setCurrentCell(row, 0);
        QVERIFY(!page.findChildren<QPushButton *>().at(1)->isEnabled());
    }
}

void TestWordLibPage::realDialogsShowTheirTexts()
{
    Fixture fixture;
    auto &page = fixture.build();
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
    QCOMPARE(directory, fixture.home()); // where the user keeps files
    QCOMPARE(filters, QStringList({"词库文件 (*.qlb)"}));
    QCOMPARE(parent, &page);

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QStringList buttons;
    const auto readBox = [&](QMessageBox *box) {
        icon = box->icon();
        title = box->windowTitle();
        text = box->text() + QLatin1Char('|') + box->informativeText();
        parent = box->parentWidget();
        buttons.clear();
        for (QAbstractButton *button : box->buttons())
            buttons << button->text();
        for (const QLabel *label : box->findChildren<QLabel *>())
            if (label->textFormat() != Qt::PlainText &&
                !label->text().isEmpty())
                text = "markup: " + label->text();
        box->reject();
    };
    const QString markup = QStringLiteral(
        "/x/<b><font color=red size=7>系统已损坏</font></b>.qlb");
    handleNextModal<QMessageBox>(&page, readBox);
    page.realShowAddFailure(QStringLiteral("非法的词库文件！"), markup);
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(title, QStringLiteral("添加失败"));
    QCOMPARE(text, "非法的词库文件！|文件：" + markup);
    QCOMPARE(buttons, QStringList({"确定"}));
    QCOMPARE(parent, &page);

    handleNextModal<QMessageBox>(&page, readBox);
    QVERIFY(!page.realConfirmRemoval("<b>坏</b>\u202E", markup));
    QCOMPARE(text, "确定要删除词库“\u2068<b>坏</b>\u202E\u2069”吗？|文件：" +
                       markup + "\n确定或应用后，这个文件将被删除。");
}

QTEST_MAIN(TestWordLibPage)
#include "tst_wordlibpage.moc"
