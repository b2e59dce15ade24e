// SPDX-License-Identifier: GPL-2.0-or-later
// The word-library header: what counts as a library, how its text fields
// and entry count decode, that only the header is read, and the order of
// the word-library table.
#include "pages/WordLibFile.h"
#include "pages/WordLibOrder.h"
#include "support/Restrictions.h"
#include "support/TestSupport.h"
#include "support/WordLibBuilder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace WordLibLayout;

namespace
{
const QString userDir = QStringLiteral("/home/u/.config/quilmo/wordlib/");
const QString sysDir = QStringLiteral("/usr/share/quilmo/wordlib/");

QByteArray bytes(const char *data, int size)
{
    return QByteArray(data, size);
}

QByteArray sample(const char *fileName)
{
    QFile file(QStringLiteral(QUILMO_SAMPLE_WORDLIB_DIR) +
               QString::fromUtf8(fileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

/// A header whose name and author fields both hold @p field.
QByteArray withTextFields(QByteArray field)
{
    field = field.leftJustified(textFieldSize, '\0');
    QByteArray content = wordLibHeader({}, {}, 0);
    content.replace(nameOffset, textFieldSize, field);
    content.replace(authorOffset, textFieldSize, field);
    return content;
}
} // namespace

class TestWordLibFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void validity_data();
    void validity();
    void notARegularReadableFile_data();
    void notARegularReadableFile();
    void header_data();
    void header();
    void conversionReportsFaults();
    void hugeFileIsNotLoaded();
    void fileNamesKeepTheirBytes_data();
    void fileNamesKeepTheirBytes();

    void order_data();
    void order();
    void orderIsStrictWeak();

private:
    /// Writes @p content as the library x.qlb; returns its path.
    QString place(const QByteArray &content) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestWordLibFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestWordLibFile::cleanup()
{
    m_dir.reset();
}

QString TestWordLibFile::place(const QByteArray &content) const
{
    const QString path = m_dir->filePath(QStringLiteral("x.qlb"));
    if (!writeFile(path, content))
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

void TestWordLibFile::validity_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("valid");
    const QByteArray header = wordLibHeader(QStringLiteral("名"), {}, 1);
    QTest::newRow("signature only") << bytes("\x94\x19\x09\x14", 4) << true;
    QTest::newRow("signature, then anything")
        << bytes("\x94\x19\x09\x14garbage\xff", 12) << true;
    QTest::newRow("header cut to 40 bytes") << header.left(40) << true;
    QTest::newRow("signature stored big-endian")
        << bytes("\x14\x09\x19\x94", 4) << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("3 bytes") << header.left(3) << false;
    QTest::newRow("header of zeros") << QByteArray(headerSize, '\0') << false;
    QTest::newRow("text") << QByteArray("user.qlb;sys.qlb\n") << false;
}

void TestWordLibFile::validity()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, valid);
    const QString path = place(content);
    QCOMPARE(isValidWordLibFile(QFileInfo(path)), valid);
    WordLibHeader header;
    QCOMPARE(readWordLibHeader(path, header),
             valid ? WordLibReadResult::HeaderRead
                   : WordLibReadResult::BadSignature);
}

void TestWordLibFile::notARegularReadableFile_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"missing", "directory", "fifo", "link to fifo",
                             "dangling link", "no read permission"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

// Each must come back at once (a FIFO without a writer would block an
// open) and read as "cannot be opened".
void TestWordLibFile::notARegularReadableFile()
{
    QFETCH(QString, kind);
    const QString path = m_dir->filePath(QStringLiteral("x.qlb"));
    const QByteArray target = QFile::encodeName(m_dir->filePath("target"));
    const QByteArray local = QFile::encodeName(path);
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(mkfifo(local.constData(), 0644), 0);
    } else if (kind == QLatin1String("link to fifo")) {
        QCOMPARE(mkfifo(target.constData(), 0644), 0);
        QCOMPARE(symlink(target.constData(), local.constData()), 0);
    } else if (kind == QLatin1String("dangling link")) {
        QCOMPARE(symlink(target.constData(), local.constData()), 0);
    } else if (kind == QLatin1String("no read permission")) {
        place(wordLibHeader({}, {}, 0));
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    }
    // Root reads anything: as root, the user "nobody" tries it.
    QVERIFY(QFile::setPermissions(m_dir->path(),
                                  QFile::ReadOwner | QFile::WriteOwner |
                                      QFile::ExeOwner | QFile::ExeOther));
    QCOMPARE(runAsNobody([&] {
                 WordLibHeader header;
                 return int(isValidWordLibFile(QFileInfo(path))) * 2 +
                        int(readWordLibHeader(path, header) ==
                            WordLibReadResult::OpenFailed);
             }),
             1);
}

void TestWordLibFile::header_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("author");
    QTest::addColumn<int>("entryCount");
    const QString name = QStringLiteral("地名词库");
    const QString author = QStringLiteral("ABCD");
    const QByteArray header = wordLibHeader(name, author, 10000);
    QTest::newRow("10000") << header << name << author << 10000;
    QTest::newRow("stored 10 27 00 00")
        << header.left(68) + bytes("\x10\x27\0\0", 4) << name << author
        << 10000;
    QTest::newRow("stored FF FF FF FF, signed")
        << wordLibHeader(name, author, -1) << name << author << -1;
    QTest::newRow("body after the header")
        << header + QByteArray(4096, '\x55') << name << author << 10000;
    QTest::newRow("cut to 40 bytes: author cut, count zero")
        << header.left(40) << name << "AB" << 0;
    QTest::newRow("cut to 70 bytes: count zero-filled")
        << wordLibHeader(name, author, 0x7F002710).left(70) << name << author
        << 10000;
    // The committed samples (scripts/make_sample_wordlibs.py).
    QTest::newRow("sample user.qlb") << sample("user.qlb") << "用户词库"
                                     << "本机用户" << 0;
    QTest::newRow("sample sys.qlb") << sample("sys.qlb") << "系统词库"
                                    << "墨岚拼音" << 120000;
    QTest::newRow("sample 成语.qlb, big-endian")
        << sample("成语.qlb") << "成语词库"
        << "示例作者" << 3000;
    QTest::newRow("sample a.qlb, little-endian mark")
        << sample("a.qlb") << "地名词库"
        << "张三" << 800;

    // Text fields: UTF-16 in either byte order, cut at 16 bytes.
    const QString ten = QStringLiteral("ABCDEFGHIJ");
    const std::tuple<const char *, QByteArray, QString> fields[] = {
        {"no mark", bytes("A\0B\0", 4), "AB"},
        {"little-endian mark", bytes("\xFF\xFE\x41\x00\x42\x00", 6), "AB"},
        {"big-endian mark", bytes("\xFE\xFF\x00\x41\x00\x42", 6), "AB"},
        {"zeros", QByteArray(textFieldSize, '\0'), ""},
        {"10 characters, no mark", wordLibTextField(ten), "ABCDEFGH"},
        {"10 characters, little-endian mark",
         wordLibTextField(ten, TextByteOrder::LittleEndianMarked), "ABCDEFG"},
        {"10 characters, big-endian mark",
         wordLibTextField(ten, TextByteOrder::BigEndianMarked), "ABCDEFG"},
        {"chinese, big-endian mark",
         wordLibTextField(QStringLiteral("成语词库"),
                          TextByteOrder::BigEndianMarked),
         QStringLiteral("成语词库")},
        {"surrogate pair", wordLibTextField(QStringLiteral("A𠀀")),
         QStringLiteral("A𠀀")},
        // U+20000 needs two code units; the 16 bytes hold only the first.
        {"surrogate pair cut by the field",
         wordLibTextField(QStringLiteral("ABCDEFG𠀀")), "ABCDEFG"},
        {"lone low surrogate", bytes("\x41\x00\x00\xDC\x42\x00", 6), "A"},
    };
    for (const auto &[tag, field, text] : fields)
        QTest::newRow(tag) << withTextFields(field) << text << text << 0;
}

void TestWordLibFile::header()
{
    QFETCH(QByteArray, content);
    WordLibHeader header;
    QCOMPARE(readWordLibHeader(place(content), header),
             WordLibReadResult::HeaderRead);
    QTEST(header.name, "name");
    QTEST(header.author, "author");
    QTEST(header.entryCount, "entryCount");
}

void TestWordLibFile::conversionReportsFaults()
{
    char out[160];
    QByteArray in = wordLibTextField(QStringLiteral("ABCDEFG𠀀"));
    QCOMPARE(utf16toutf8(in.data(), textFieldSize, out, sizeof out), -1);
    QCOMPARE(QByteArray(out), QByteArray("ABCDEFG"));

    // A full field has no terminator; the zero-filled output supplies it.
    std::fill(std::begin(out), std::end(out), 'x');
    in = wordLibTextField(QStringLiteral("成语词库大全合集"));
    QCOMPARE(utf16toutf8(in.data(), textFieldSize, out, sizeof out), 0);
    QCOMPARE(QString::fromUtf8(out), QStringLiteral("成语词库大全合集"));
}

void TestWordLibFile::hugeFileIsNotLoaded()
{
    const qint64 size = qint64(3) << 30;
    const QString path = place(wordLibHeader(QStringLiteral("大"), {}, 7));
    if (!QFile::resize(path, size))
        QSKIP("cannot make a 3 GiB sparse file in the temporary directory");
    const QString link = m_dir->filePath(QStringLiteral("link.qlb"));
    QVERIFY(QFile::link(path, link));

    const long before = peakRssKiB();
    for (const QString &file : {path, link}) {
        QVERIFY(isValidWordLibFile(QFileInfo(file)));
        WordLibHeader header;
        QCOMPARE(readWordLibHeader(file, header),
                 WordLibReadResult::HeaderRead);
        QCOMPARE(header.entryCount, 7);
    }
    const long grownKiB = peakRssKiB() - before;
    QVERIFY2(grownKiB < 4096,
             qPrintable(QStringLiteral("peak RSS grew by %1 KiB for a "
                                       "3 GiB library")
                            .arg(grownKiB)));
}

// Where a class goes among the others shows in the page's listing; here,
// the order within and between classes that the page's files cannot reach.
void TestWordLibFile::fileNamesKeepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("overlong /") << QByteArray("\xC0\xAF") << "\uFFFD\uFFFD";
    QTest::newRow("encoded surrogate")
        << QByteArray("\xED\xB3\xBF") << "\uFFFD\uFFFD\uFFFD";
    QTest::newRow("cut at the end")
        << QByteArray("a\xE8\xAF") << "a\uFFFD\uFFFD";
    QTest::newRow("after a character ending in DC80")
        << QByteArray("\xF0\x9F\x92\x80\xFF") << "\U0001F480\uFFFD";
    QTest::newRow("text on both sides") << QByteArray("\xE4\xB8\xAD\xFF\xFE"
                                                      "a.qlb")
                                        << "\u4E2D\uFFFD\uFFFDa.qlb";
}

void TestWordLibFile::fileNamesKeepTheirBytes()
{
    QFETCH(QByteArray, name);
    const QString decoded = decodeFileName(name);
    QCOMPARE(encodeFileName(decoded), name);
    QTEST(displayFileName(decoded), "shown");
    QVERIFY(hasUndecodableBytes(decoded));
}

void TestWordLibFile::order_data()
{
    QTest::addColumn<QStringList>("active");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("code-unit order; only exact user.qlb and sys.qlb")
        << QStringList{""}
        << QStringList{sysDir + "a.qlb", sysDir + "USER.QLB",
                       sysDir + "Sys.qlb", sysDir + "B.qlb"}
        << QStringList{sysDir + "B.qlb", sysDir + "Sys.qlb",
                       sysDir + "USER.QLB", sysDir + "a.qlb"};
    QTest::newRow("active names are case-sensitive")
        << QStringList{"A.qlb"}
        << QStringList{sysDir + "a.qlb", userDir + "z.qlb"}
        << QStringList{userDir + "z.qlb", sysDir + "a.qlb"};
    QTest::newRow("user directory is a plain prefix of the path")
        << QStringList{}
        << QStringList{userDir + "../x/a.qlb", sysDir + "b.qlb",
                       "/home/u/.config/quilmo/wordlibs/c.qlb"}
        << QStringList{userDir + "../x/a.qlb", sysDir + "b.qlb",
                       "/home/u/.config/quilmo/wordlibs/c.qlb"};
    QTest::newRow("within a class by name, equal names keep their order")
        << QStringList{"c.qlb", "b.qlb"}
        << QStringList{sysDir + "c.qlb",    userDir + "user.qlb",
                       userDir + "c.qlb",   sysDir + "b.qlb",
                       sysDir + "user.qlb", "/opt/user.qlb"}
        << QStringList{userDir + "user.qlb", sysDir + "user.qlb",
                       "/opt/user.qlb",      sysDir + "b.qlb",
                       sysDir + "c.qlb",     userDir + "c.qlb"};
}

void TestWordLibFile::order()
{
    QFETCH(QStringList, active);
    QFETCH(QStringList, paths);
    WordLibOrder(active, userDir).sort(paths);
    QTEST(paths, "expected");
}

// std::sort needs a strict weak ordering; anything less is undefined.
void TestWordLibFile::orderIsStrictWeak()
{
    const WordLibOrder order({"a.qlb", "user.qlb"}, userDir);
    const auto qlbLessThan = [&order](const QString &x, const QString &y) {
        return order.qlbLessThan(x, y);
    };
    QStringList paths;
    for (const QString &dir : {userDir, sysDir, QStringLiteral("/opt/")})
        for (const char *name : {"user.qlb", "sys.qlb", "a.qlb", "b.qlb",
                                 "B.qlb", "USER.QLB", "c.qlb"})
            paths << dir + QLatin1String(name);
    const auto equivalent = [&](const QString &x, const QString &y) {
        return !qlbLessThan(x, y) && !qlbLessThan(y, x);
    };
    for (const QString &a : qAsConst(paths)) {
        QVERIFY2(!qlbLessThan(a, a), qPrintable(a));
        for (const QString &b : qAsConst(paths)) {
            QVERIFY2(!(qlbLessThan(a, b) && qlbLessThan(b, a)),
                     qPrintable(a + " " + b));
            for (const QString &c : qAsConst(paths)) {
                if (qlbLessThan(a, b) && qlbLessThan(b, c))
                    QVERIFY2(qlbLessThan(a, c), qPrintable(a + " " + c));
                if (equivalent(a, b) && equivalent(b, c))
                    QVERIFY2(equivalent(a, c), qPrintable(a + " " + c));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestWordLibFile)
#include "tst_wordlibfile.moc"
