// SPDX-License-Identifier: GPL-2.0-or-later
// IniSetting on real files: what a merge writes, what survives it, and that
// a save that cannot happen leaves the file as it was.
#include "config/IniSetting.h"
#include "support/Restrictions.h"
#include "support/TestSupport.h"

#include <QtTest>

#include <memory>
#include <optional>

namespace
{
const QByteArray s_original = "# keep me\n[Output]\n#CandidateWordNumber=5\n";
const QByteArray s_merged = "# keep me\n[Output]\nCandidateWordNumber=9\n";
} // namespace

class TestIniSetting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void merge_data();
    void merge();
    void withoutDocumentNothingIsWritten_data();
    void withoutDocumentNothingIsWritten();
    void failedSaveKeepsFileAndCanBeRetried_data();
    void failedSaveKeepsFileAndCanBeRetried();
    void replacingKeepsLinkAndPermissions();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestIniSetting::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("config"));
}

void TestIniSetting::merge_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QVariantMap>("values");
    QTest::addColumn<QByteArray>("expected");

    const QVariantMap nine{{"Output/CandidateWordNumber", "9"}};
    QTest::newRow("comment revived in its place")
        << QByteArray("[Output]\nA=1\n#CandidateWordNumber=5\nB=2\n") << nine
        << QByteArray("[Output]\nA=1\nCandidateWordNumber=9\nB=2\n");
    QTest::newRow("comment with blanks revived")
        << QByteArray("[Output]\n## CandidateWordNumber = 5\n") << nine
        << QByteArray("[Output]\nCandidateWordNumber=9\n");
    QTest::newRow("appended to its section")
        << QByteArray("[Output]\nA=1\n[Other]\nB=2\n") << nine
        << QByteArray("[Output]\nA=1\nCandidateWordNumber=9\n[Other]\nB=2\n");
    QTest::newRow("new section at the end")
        << QByteArray("[Other]\nB=2\n") << nine
        << QByteArray("[Other]\nB=2\n[Output]\nCandidateWordNumber=9\n");
    QTest::newRow("first of two same-named sections")
        << QByteArray("[Output]\n[Output]\n") << nine
        << QByteArray("[Output]\nCandidateWordNumber=9\n[Output]\n");
    QTest::newRow("only the first match changes")
        << QByteArray(
               "[Output]\n#CandidateWordNumber=1\nCandidateWordNumber=2\n")
        << nine
        << QByteArray(
               "[Output]\nCandidateWordNumber=9\nCandidateWordNumber=2\n");
    QTest::newRow("key without slash")
        << QByteArray("[Output]\n#CandidateWordNumber=5\n")
        << QVariantMap{{"CandidateWordNumber", "9"}}
        << QByteArray("[Output]\n#CandidateWordNumber=5\n");
    QTest::newRow("new keys in ascending order")
        << QByteArray("[Old]\n") << QVariantMap{{"New/b", "2"}, {"New/a", "1"}}
        << QByteArray("[Old]\n[New]\na=1\nb=2\n");

    QTest::newRow("blanks around = kept when not merged")
        << QByteArray("[Output]\nKey = v\n")
        << QVariantMap{{"Output/Other", "1"}}
        << QByteArray("[Output]\nKey = v\nOther=1\n");
    QTest::newRow("blanks around = merged, no duplicate")
        << QByteArray("[Output]\nCandidateWordNumber = 5\n") << nine
        << QByteArray("[Output]\nCandidateWordNumber=9\n");
    QTest::newRow("blanks around the key name ignored")
        << QByteArray("[Output]\nCandidateWordNumber=5\n")
        << QVariantMap{{"Output/ CandidateWordNumber ", "9"}}
        << QByteArray("[Output]\nCandidateWordNumber=9\n");

    QTest::newRow("prose comment survives")
        << QByteArray("[Output]\n# CandidateWordNumber: words shown\n") << nine
        << QByteArray("[Output]\n# CandidateWordNumber: words shown\n"
                      "CandidateWordNumber=9\n");
    QTest::newRow("prefix of a commented key is another key")
        << QByteArray("[Output]\n#CandidateWordNumber=5\n")
        << QVariantMap{{"Output/Candidate", "3"}}
        << QByteArray("[Output]\n#CandidateWordNumber=5\nCandidate=3\n");
    QTest::newRow("hashes and blanks match nothing")
        << QByteArray("[Output]\n###\n#  \n#CandidateWordNumber=5\n") << nine
        << QByteArray("[Output]\n###\n#  \nCandidateWordNumber=9\n");

    QTest::newRow("blank and stray lines dropped")
        << QByteArray("[A]\na=1\n\nstray\n[B]\nb=2\n") << QVariantMap()
        << QByteArray("[A]\na=1\n[B]\nb=2\n");
    QTest::newRow("lines before the first header kept on top")
        << QByteArray("# fcitx\nGlobal=1\n[Output]\n") << nine
        << QByteArray("# fcitx\nGlobal=1\n[Output]\nCandidateWordNumber=9\n");
    QTest::newRow("carriage return stays in the line")
        << QByteArray("[A]\na=1\r\n#b\r\n") << QVariantMap()
        << QByteArray("[A]\na=1\r\n#b\r\n");
    QTest::newRow("last line without line end whole")
        << QByteArray("[A]\na=12") << QVariantMap()
        << QByteArray("[A]\na=12\n");
    QTest::newRow("nul byte kept")
        << QByteArray("[A]\na=x\0y\n", 10) << QVariantMap()
        << QByteArray("[A]\na=x\0y\n", 10);
    QTest::newRow("utf-8 value")
        << QByteArray("[A]\n") << QVariantMap{{"A/name", "拼音"}}
        << QByteArray("[A]\nname=\xe6\x8b\xbc\xe9\x9f\xb3\n");

    for (int length : {1023, 1024, 5000}) {
        const QByteArray lines = "[A]\nk=" + QByteArray(length - 2, 'x') +
                                 "\n#" + QByteArray(length - 1, '=') + "\n";
        QTest::addRow("lines of %d bytes", length)
            << lines << QVariantMap{{"A/other", "1"}} << lines + "other=1\n";
    }

    QTest::newRow("line break in value skipped")
        << QByteArray("[A]\n") << QVariantMap{{"A/k", "1\n[Injected]"}}
        << QByteArray("[A]\n");
    QTest::newRow("= in key name skipped")
        << QByteArray("[A]\n") << QVariantMap{{"A/k=v", "1"}}
        << QByteArray("[A]\n");
    QTest::newRow("key name read back as comment skipped")
        << QByteArray("[A]\n") << QVariantMap{{"A/#k", "1"}}
        << QByteArray("[A]\n");
}

void TestIniSetting::merge()
{
    QFETCH(QByteArray, input);
    QFETCH(QVariantMap, values);
    QFETCH(QByteArray, expected);
    QVERIFY(writeFile(m_path, input));

    IniSetting ini(m_path);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        ini.set(it.key(), it.value().toString());
    QVERIFY(ini.save());
    QCOMPARE(readFile(m_path), expected);
}

void TestIniSetting::withoutDocumentNothingIsWritten_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("file made after a failed load") << "late";
    QTest::newRow("path is a directory") << "directory";
    QTest::newRow("second save") << "saved";
}

void TestIniSetting::withoutDocumentNothingIsWritten()
{
    QFETCH(QString, situation);
    if (situation == QLatin1String("directory"))
        QVERIFY(QDir().mkdir(m_path));
    if (situation == QLatin1String("saved"))
        QVERIFY(writeFile(m_path, s_original));

    IniSetting ini(m_path);
    ini.set(QStringLiteral("Output/CandidateWordNumber"), QStringLiteral("9"));
    if (situation == QLatin1String("saved"))
        QVERIFY(ini.save());
    if (situation == QLatin1String("late") ||
        situation == QLatin1String("saved"))
        QVERIFY(writeFile(m_path, s_original));

    QVERIFY(!ini.save());
    if (situation == QLatin1String("missing"))
        QVERIFY(!QFileInfo::exists(m_path));
    else if (situation == QLatin1String("directory"))
        QVERIFY(QFileInfo(m_path).isDir());
    else
        QCOMPARE(readFile(m_path), s_original);
    // The values stay pending: a new load merges them again.
    if (situation == QLatin1String("saved")) {
        QVERIFY(ini.load() && ini.save());
        QCOMPARE(readFile(m_path), s_merged);
    }
}

void TestIniSetting::failedSaveKeepsFileAndCanBeRetried_data()
{
    QTest::addColumn<QString>("restriction");
    QTest::newRow("read-only file") << "file";
    QTest::newRow("read-only directory") << "directory";
    // Writes fail the way they do on a full disk, whoever runs the test.
    QTest::newRow("file-size limit") << "size";
}

void TestIniSetting::failedSaveKeepsFileAndCanBeRetried()
{
    QFETCH(QString, restriction);
    QVERIFY(writeFile(m_path, s_original));
    IniSetting ini(m_path);
    ini.set(QStringLiteral("Output/CandidateWordNumber"), QStringLiteral("9"));
    ini.set(QStringLiteral("Output/Long"), QString(4096, QLatin1Char('x')));
    bool saved = true;
    {
        std::optional<FileSizeLimit> limit;
        std::optional<ReadOnlyPath> locked;
        if (restriction == QLatin1String("size"))
            limit.emplace(s_original.size() + 16);
        else
            locked.emplace(
                restriction == QLatin1String("file") ? m_path : m_dir->path());
        if (locked && !locked->whyNot().isEmpty())
            QSKIP(qPrintable(locked->whyNot()));
        saved = ini.save();
    }
    QVERIFY(!saved);
    QCOMPARE(readFile(m_path), s_original);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList{QStringLiteral("config")});

    QVERIFY(ini.save());
    QCOMPARE(readFile(m_path),
             s_merged + "Long=" + QByteArray(4096, 'x') + "\n");
}

void TestIniSetting::replacingKeepsLinkAndPermissions()
{
    QVERIFY(writeFile(m_path, s_original));
    QVERIFY(
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner));
    const QString link = m_dir->filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(m_path, link));

    IniSetting ini(link);
    ini.set(QStringLiteral("Output/CandidateWordNumber"), QStringLiteral("9"));
    QVERIFY(ini.save());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readFile(m_path), s_merged);
    const auto modeBits =
        ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QCOMPARE(QFile::permissions(m_path) & modeBits,
             QFile::ReadOwner | QFile::WriteOwner);
}

QTEST_GUILESS_MAIN(TestIniSetting)
#include "tst_inisetting.moc"
