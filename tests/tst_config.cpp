// SPDX-License-Identifier: GPL-2.0-or-later
// Where the tool's files live, and the one value read from fcitx.
#include "config/Config.h"
#include "config/SettingsFile.h"
#include "support/Restrictions.h"
#include "support/TestSupport.h"

#include <QtTest>

#include <pwd.h>
#include <unistd.h>

class TestConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pathsFollowHome();
    void homeWithoutUsableHomeVariable_data();
    void homeWithoutUsableHomeVariable();
    void fcitxCandidateCount_data();
    void fcitxCandidateCount();
};

void TestConfig::pathsFollowHome()
{
    TemporaryHome home;
    const QString base = home.path() + QStringLiteral("/.config/quilmo/");
    QCOMPARE(Config::configDirPath(), base);
    QCOMPARE(Config::configFilePath(),
             base + QStringLiteral("config_ibus.ini"));
    QCOMPARE(Config::wordLibDirPath(WordLibDirPathUser),
             base + QStringLiteral("wordlib/"));
    QCOMPARE(Config::fcitxConfigFilePath(),
             home.path() + QStringLiteral("/.config/fcitx/config"));

    QCOMPARE(Config::wordLibDirPath(WordLibDirPathLocation(2)), QString());
    QCOMPARE(Config::wordLibDirPath(WordLibDirPathSystem),
             Config::dataDirPath() + QStringLiteral("wordlib/"));
    QVERIFY(Config::dataDirPath().endsWith('/') &&
            !Config::dataDirPath().startsWith(home.path()));

    TemporaryHome other; // nothing is cached
    QVERIFY(Config::configFilePath().startsWith(other.path()));
}

void TestConfig::homeWithoutUsableHomeVariable_data()
{
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<unsigned>("uid"); // a user of the password database?
    QTest::newRow("unset") << QByteArray() << unsigned(getuid());
    QTest::newRow("empty") << QByteArray("") << unsigned(getuid());
    QTest::newRow("relative") << QByteArray("home/u") << unsigned(getuid());
    // Not UTF-8: decoded and encoded again, it would name another directory.
    QTest::newRow("undecodable")
        << QByteArray("/tmp/h\xff") << unsigned(getuid());
    QTest::newRow("no passwd entry") << QByteArray() << 54321u;
}

void TestConfig::homeWithoutUsableHomeVariable()
{
    QFETCH(QByteArray, home);
    QFETCH(unsigned, uid);
    TemporaryHome restored;
    if (home.isNull())
        qunsetenv("HOME");
    else
        qputenv("HOME", home);
    if (uid != getuid() && geteuid() != 0)
        QSKIP("only root can become a user without a passwd entry");
    // Never "/.config/...": either the passwd entry's home, or nothing.
    const int outcome = runAsUser(uid, [] {
        const passwd *entry = getpwuid(getuid());
        if (!entry)
            return Config::configFilePath().isEmpty() &&
                           SettingsFile::write({}).cause == SaveResult::NoHome
                       ? 2
                       : 3;
        return int(Config::configFilePath() ==
                   QFile::decodeName(entry->pw_dir) +
                       QStringLiteral("/.config/quilmo/config_ibus.ini"));
    });
    QCOMPARE(outcome, uid == getuid() ? 1 : 2);
}

void TestConfig::fcitxCandidateCount_data()
{
    QTest::addColumn<QByteArray>("fcitxFile");
    QTest::addColumn<int>("count");
    QTest::newRow("five") << QByteArray("[Output]\nCandidateWordNumber=5\n")
                          << 5;
    QTest::newRow("capped at nine")
        << QByteArray("[Output]\nCandidateWordNumber=12\n") << 9;
    QTest::newRow("zero kept")
        << QByteArray("[Output]\nCandidateWordNumber=0\n") << 0;
    QTest::newRow("negative kept")
        << QByteArray("[Output]\nCandidateWordNumber=-3\n") << -3;
    QTest::newRow("not a number")
        << QByteArray("[Output]\nCandidateWordNumber=many\n") << 8;
    QTest::newRow("no entry") << QByteArray("[Output]\nOther=1\n") << 8;
    QTest::newRow("other section")
        << QByteArray("[Input]\nCandidateWordNumber=5\n") << 8;
    QTest::newRow("no file") << QByteArray() << 8;
}

void TestConfig::fcitxCandidateCount()
{
    QFETCH(QByteArray, fcitxFile);
    QFETCH(int, count);
    TemporaryHome home;
    if (!fcitxFile.isNull())
        QVERIFY(writeFile(Config::fcitxConfigFilePath(), fcitxFile));
    QCOMPARE(Config::fcitxCandidateCount(), count);
    // The caller's default, not the count's 8.
    if (fcitxFile.isNull())
        QCOMPARE(Config::fcitxConfigValue_Int(
                     QStringLiteral("Output/CandidateWordNumber"), 3),
                 3);
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
