// SPDX-License-Identifier: GPL-2.0-or-later
// The whole window over broken settings files and hostile environments:
// the pages load with their fallbacks, nothing crashes or blocks, and a
// later Apply either stores a readable file or says it could not.
#include "app/MainWidget.h"
#include "config/Config.h"
#include "support/TestSupport.h"
#include "support/WordLibBuilder.h"

#include <QComboBox>
#include <QRandomGenerator>
#include <QSettings>
#include <QTableWidget>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(20261207); // the same garbage every run
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

QByteArray manyLines(int bytes)
{
    const QByteArray line = "[basic]\ncandidatecount=4\nnoise=0123456789\n";
    return line.repeated(bytes / line.size());
}

/// Picks 3 candidates and applies; true when the file then holds it.
bool applyCountThree(RecordingMainWidget &widget)
{
    widget.findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"))
        ->setCurrentIndex(2);
    widget.onButtonApplyClicked();
    const QSettings file(Config::configFilePath(), QSettings::IniFormat);
    return file.status() == QSettings::NoError &&
           file.value(QStringLiteral("basic/candidatecount")).toString() ==
               QLatin1String("3");
}

QStringList tableFileNames(const MainWidget &widget)
{
    const auto *table = widget.findChild<QTableWidget *>();
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row)
        names.append(table->item(row, 2)->text());
    return names;
}
} // namespace

class TestRobustness : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void brokenSettingsFile_data();
    void brokenSettingsFile();
    void settingsFileReplacedByDirectory();
    void homeMissingOrReadOnly_data();
    void homeMissingOrReadOnly();
    void hostileWordLibDirectory();

private:
    std::unique_ptr<Sandbox> m_sandbox;
};

void TestRobustness::init()
{
    m_sandbox = std::make_unique<Sandbox>();
}

void TestRobustness::cleanup()
{
    m_sandbox.reset();
}

void TestRobustness::brokenSettingsFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("binary garbage") << randomBytes(64 * 1024);
    QTest::newRow("10 MiB of text") << manyLines(10 * 1024 * 1024);
    QTest::newRow("invalid UTF-8")
        << QByteArray("[basic]\ncandidatecount=\xff\xfe\n[special]\n"
                      "enableimode=\xc3\x28\n[wordlib]\nnames=\xed\xa0\x80\n");
    QTest::newRow("duplicate keys and sections")
        << QByteArray("[basic]\ncandidatecount=5\ncandidatecount=6\n"
                      "[special]\nenableimode=0\n[basic]\nzirate=0\n");
    QTest::newRow("no line ends") << QByteArray(4096, '[');
}

void TestRobustness::brokenSettingsFile()
{
    QFETCH(QByteArray, content);
    m_sandbox->home.writeSettings(content);

    RecordingMainWidget widget;
    QVERIFY(applyCountThree(widget));
    QVERIFY(widget.failures.isEmpty());
}

void TestRobustness::settingsFileReplacedByDirectory()
{
    QVERIFY(QDir().mkpath(Config::configFilePath()));
    RecordingMainWidget widget; // loads the defaults
    QCOMPARE(
        widget.findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"))
            ->currentText(),
        QStringLiteral("8"));
    QVERIFY(!applyCountThree(widget));
    QCOMPARE(widget.failures.size(), 1);
}

void TestRobustness::homeMissingOrReadOnly_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("missing home") << false;
    QTest::newRow("read-only home") << true;
}

void TestRobustness::homeMissingOrReadOnly()
{
    QFETCH(bool, readOnly);
    const QString home = m_sandbox->home.path() + QStringLiteral("/home");
    if (readOnly)
        QVERIFY(QDir().mkdir(home) && chmod(qPrintable(home), 0500) == 0);
    qputenv("HOME", home.toUtf8());

    RecordingMainWidget widget;
    const bool writable = !readOnly || geteuid() == 0;
    QCOMPARE(applyCountThree(widget), writable);
    QCOMPARE(widget.failures.size(), writable ? 0 : 1);
    chmod(qPrintable(home), 0700);
}

void TestRobustness::hostileWordLibDirectory()
{
    const QString dir = Config::wordLibDirPath(WordLibDirPathUser);
    QVERIFY(
        writeWordLib(dir + QStringLiteral("user.qlb"), QStringLiteral("u")));
    for (int i = 0; i < 10000; ++i)
        QVERIFY(writeTestFile(dir + QStringLiteral("note%1.txt").arg(i), "x"));
    QVERIFY(QFile::link(QStringLiteral("loop.qlb"),
                        dir + QStringLiteral("loop.qlb")));
    QVERIFY(QFile::link(QStringLiteral("."), dir + QStringLiteral("self.qlb")));
    QCOMPARE(mkfifo(qPrintable(dir + QStringLiteral("fifo.qlb")), 0600), 0);
    const QString locked = dir + QStringLiteral("locked.qlb");
    QVERIFY(writeWordLib(locked, QStringLiteral("locked")));
    QFile::setPermissions(locked, QFileDevice::Permissions());

    RecordingMainWidget widget;
    QStringList expected = {QStringLiteral("user.qlb")};
    if (geteuid() == 0) // root reads it anyway: then it is listed
        expected.append(QStringLiteral("locked.qlb"));
    QCOMPARE(tableFileNames(widget), expected);
}

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
