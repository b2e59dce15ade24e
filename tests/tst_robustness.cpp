// SPDX-License-Identifier: GPL-2.0-or-later
// The whole window over broken settings files and hostile environments:
// the pages load with their fallbacks, nothing crashes or blocks, and a
// later Apply either stores a readable file or says it could not.
#include "app/MainWidget.h"
#include "config/Config.h"
#include "config/SettingsFile.h"
#include "support/FaultInjection.h"
#include "support/Restrictions.h"
#include "support/TestSupport.h"
#include "support/WordLibBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTableWidget>
#include <QtTest>

#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <sys/un.h>
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
    // Read through the tool's own reader: QSettings would block on a FIFO.
    return widget.failures.isEmpty() &&
           IniSnapshot(Config::configFilePath())
                   .value(QStringLiteral("basic/candidatecount"))
                   .toString() == QLatin1String("3");
}

/// Puts a FIFO, socket, device, directory, link or oversized file at
/// @p path.
bool makeSpecialFile(const QString &kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("fifo"))
        return mkfifo(name.constData(), 0600) == 0;
    if (kind == QLatin1String("directory"))
        return QDir().mkpath(path);
    if (kind == QLatin1String("dangling link"))
        return symlink("nowhere", name.constData()) == 0;
    if (kind.endsWith(QLatin1String(" link"))) // looping, or into nothing
        return symlink(kind.startsWith('l') ? name.constData() : "no/such",
                       name.constData()) == 0;
    if (kind == QLatin1String("17 MiB file"))
        return writeFile(path, "[basic]\nzirate=0\n") &&
               truncate(name.constData(), 17 << 20) == 0;
    if (kind == QLatin1String("device")) {
        if (geteuid() != 0) // a link to the null device then
            return symlink("/dev/null", name.constData()) == 0;
        return mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    close(fd);
    return bound;
}

mode_t fileType(const QString &path)
{
    struct stat status = {};
    stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & S_IFMT;
}

/// Every value of the INI file at @p path, as QSettings reads it.
QVariantMap iniValues(const QString &path)
{
    const QSettings settings(path, QSettings::IniFormat);
    QVariantMap values;
    for (const QString &key : settings.allKeys())
        values.insert(key, settings.value(key));
    return values;
}

SaveResult writeCountThree()
{
    return SettingsFile::write({{"basic", {{"candidatecount", "3"}}}});
}

QStringList filesInConfigDir()
{
    return QDir(Config::configDirPath())
        .entryList(QDir::Files | QDir::Hidden | QDir::System);
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
    void unwritableSettingsFile_data();
    void unwritableSettingsFile();
    void nearlyFullDisk_data();
    void nearlyFullDisk();
    void settingsFileLink_data();
    void settingsFileLink();
    void linkThroughALinkedDirectory();
    void faultsLeaveTheFileAsItWas_data();
    void faultsLeaveTheFileAsItWas();
    void lockHeldElsewhere();
    void ownerAndModeKept_data();
    void ownerAndModeKept();
    void homeMissingOrReadOnly_data();
    void homeMissingOrReadOnly();
    void hostileWordLibDirectory();

private:
    std::unique_ptr<Sandbox> m_sandbox;
    // Scratch places that a test may move.
    const QByteArray m_runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray m_tempDir = qgetenv("TMPDIR");
};

void TestRobustness::init()
{
    m_sandbox = std::make_unique<Sandbox>();
}

void TestRobustness::cleanup()
{
    m_sandbox.reset();
    qputenv("XDG_RUNTIME_DIR", m_runtimeDir);
    qputenv("TMPDIR", m_tempDir);
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
    QTest::newRow("UTF-8 BOM and Chinese")
        << QByteArray("\xef\xbb\xbf[basic]\nzirate=0\n[engine]\n"
                      "note=\xe4\xb8\xad\xe6\x96\x87\n");
}

void TestRobustness::brokenSettingsFile()
{
    QFETCH(QByteArray, content);
    writeSettings(content);
    const QString copy = m_sandbox->home.path() + QStringLiteral("/copy.ini");
    QVERIFY(writeFile(copy, content));
    QVariantMap values = iniValues(copy);
    // What a writer killed half-way leaves behind goes with the next save.
    writeFile(Config::configDirPath() + ".config_ibus.ini.AbC123", "x");
    // So does its scratch directory, which may hold memory.
    const QString run = m_sandbox->home.path() + QStringLiteral("/run");
    const QString scratch = run + QStringLiteral("/quilmo-settings-AbC123");
    QVERIFY(QDir().mkpath(scratch) && writeFile(scratch + "/merge.ini", "x"));
    QCOMPARE(chmod(QFile::encodeName(run), 0700), 0);
    QCOMPARE(chmod(QFile::encodeName(scratch), 0700), 0);
    const timeval longAgo[2] = {{1, 0}, {1, 0}};
    QCOMPARE(utimes(QFile::encodeName(scratch), longAgo), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));

    RecordingMainWidget widget;
    QVERIFY(applyCountThree(widget));
    QCOMPARE(filesInConfigDir(), QStringList{"config_ibus.ini"});
    QCOMPARE(QDir(run).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    // The rest reads as it did, for the engine reads it with QSettings too.
    values.insert(QStringLiteral("basic/candidatecount"), QStringLiteral("3"));
    QCOMPARE(iniValues(Config::configFilePath()), values);
}

void TestRobustness::unwritableSettingsFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("suffix"); // of the path taken
    QTest::addColumn<QString>("reason");
    const QString notRegular = QStringLiteral("该位置上不是普通文件。");
    QTest::newRow("directory") << "directory"
                               << ""
                               << "该位置上是一个目录。";
    QTest::newRow("fifo") << "fifo"
                          << "" << notRegular;
    QTest::newRow("socket") << "socket"
                            << "" << notRegular;
    QTest::newRow("device") << "device"
                            << "" << notRegular;
    QTest::newRow("fifo as lock file") << "fifo"
                                       << ".lock" << notRegular;
    // QLockFile could never take over a lock file that is a link.
    QTest::newRow("link as lock file") << "dangling link"
                                       << ".lock" << notRegular;
    QTest::newRow("looping link")
        << "looping link"
        << "" << QStringLiteral("路径中的符号链接过多或构成循环。");
    QTest::newRow("link into a missing directory")
        << "missing directory link"
        << "" << QStringLiteral("路径中有一部分不存在。");
    QTest::newRow("huge file")
        << "17 MiB file"
        << "" << QStringLiteral("设置文件过大（超过 16 MiB）。");
    // A read-only mount as root; permissions deny a user.
    QTest::newRow("read-only settings directory")
        << "read-only"
        << ""
        << (geteuid() == 0 ? QStringLiteral("文件系统是只读的。")
                           : QStringLiteral("没有写入权限。"));
}

// The window never opens what is in the way, so never blocks on it; the
// values go with the next save once the way is clear.
void TestRobustness::unwritableSettingsFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, suffix);
    QFETCH(QString, reason);
    const QString path = Config::configFilePath() + suffix;
    QVERIFY(QDir().mkpath(Config::configDirPath()));
    const bool readOnly = kind == QLatin1String("read-only");
    std::optional<ReadOnlyPath> locked;
    if (readOnly) {
        if (!locked.emplace(Config::configDirPath()).whyNot().isEmpty())
            QSKIP(qPrintable(locked->whyNot()));
    } else {
        QVERIFY(makeSpecialFile(kind, path));
    }
    const mode_t type = fileType(path);

    RecordingMainWidget widget;
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QCoreApplication::processEvents(); // what waits for the first frame
    QCOMPARE(
        widget.findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"))
            ->currentText(),
        QStringLiteral("8"));
    // Said at once, not at the first 应用: these are not the stored values.
    // A link to nowhere stores nothing, so the defaults are what it holds.
    if (suffix.isEmpty() && !readOnly && kind != "missing directory link")
        QCOMPARE(widget.findChild<QLabel *>("statusLine")->text(),
                 "无法读取设置文件，窗口中是默认设置\n" + reason);
    widget.findChild<QCheckBox *>(QStringLiteral("checkboxEnableIMode"))
        ->setChecked(false);
    widget.findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"))
        ->setCurrentIndex(2);
    widget.onButtonOkClicked();
    QCOMPARE(widget.failures, QStringList{Config::configFilePath()});
    QCOMPARE(widget.reasons, QStringList{reason});
    QVERIFY(widget.isVisible()); // OK did not pretend to succeed
    QCOMPARE(fileType(path), type);

    locked.reset();
    QVERIFY(readOnly || QFile::remove(path) || QDir(path).removeRecursively());
    widget.onButtonApplyClicked();
    QCOMPARE(widget.failures.size(), 1);
    QCOMPARE(storedGroup("basic"), Settings({{"candidatecount", "3"}}));
    QCOMPARE(storedGroup("special"), Settings({{"enableimode", "0"}}));
}

void TestRobustness::nearlyFullDisk_data()
{
    QTest::addColumn<int>("freeKiB");
    QTest::addColumn<bool>("sizeLimit"); // a file-size limit, not a tmpfs
    for (int free = 0; free <= 32; ++free)
        QTest::addRow("%d KiB free", free) << free << false;
    for (int limit : {0, 4, 8})
        QTest::addRow("%d KiB file-size limit", limit) << limit << true;
}

void TestRobustness::nearlyFullDisk()
{
    QFETCH(int, freeKiB);
    QFETCH(bool, sizeLimit);
    const QString disk = m_sandbox->home.path() + QStringLiteral("/disk");
    QVERIFY(QDir().mkpath(disk));
    SmallFileSystem fileSystem(disk, 64);
    const bool full = !sizeLimit && fileSystem.whyNot().isEmpty();
    std::optional<FileSizeLimit> limit; // also where nothing can be mounted
    qputenv("HOME", disk.toUtf8());
    // The scratch space is just as full.
    QVERIFY(QDir().mkpath(disk + QStringLiteral("/run")));
    QCOMPARE(chmod(QFile::encodeName(disk + "/run"), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(disk + "/run"));
    qputenv("TMPDIR", QFile::encodeName(disk));
    const QByteArray stored =
        "[basic]\ncandidatecount=4\nzirate=0\n[engine]\nnote=" +
        QByteArray(6000, 'n') + "\n[special]\nenableimode=0\n";
    writeSettings(stored);
    if (full)
        QVERIFY(fileSystem.fillLeaving(freeKiB * 1024));
    else
        limit.emplace(freeKiB * 1024);

    RecordingMainWidget widget;
    widget.findChild<QCheckBox *>(QStringLiteral("checkboxEnableIMode"))
        ->setChecked(true);
    const bool saved = applyCountThree(widget);
    limit.reset();
    if (saved) {
        const QSettings file(Config::configFilePath(), QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("basic/zirate")), QVariant("0"));
        QCOMPARE(file.value(QStringLiteral("special/enableimode")),
                 QVariant("1"));
        QCOMPARE(file.value(QStringLiteral("engine/note")).toByteArray(),
                 QByteArray(6000, 'n'));
    } else {
        QCOMPARE(readFile(Config::configFilePath()), stored);
        QCOMPARE(
            widget.reasons,
            QStringList{full ? "磁盘空间不足。" : "文件大小超出了系统限制。"});
        // Room again, and retried; without the mount the limit is gone
        // already, and filling would take the real disk.
        QVERIFY(!full || fileSystem.fillLeaving(1 << 20));
        widget.onButtonApplyClicked();
        QCOMPARE(widget.failures.size(), 1);
        QCOMPARE(storedGroup("basic").value("candidatecount"), "3");
    }
    QCOMPARE(filesInConfigDir(), QStringList{"config_ibus.ini"});
}

void TestRobustness::settingsFileLink_data()
{
    QTest::addColumn<bool>("writable");
    QTest::newRow("link to the user's file") << true;
    QTest::newRow("link to a file the user may not write") << false;
}

// The link stays and the file it leads to is replaced, but only one the
// user may write: QSettings refuses a read-only file, and so does the tool,
// though the directory would let a rename through.
void TestRobustness::settingsFileLink()
{
    QFETCH(bool, writable);
    if (geteuid() != 0)
        QSKIP("only root can act as another user and keep its real id");
    const QString home = m_sandbox->home.path();
    const QString real = home + QStringLiteral("/real.ini");
    QVERIFY(writeFile(real, "[basic]\nzirate=0\n"));
    QVERIFY(QDir().mkpath(Config::configDirPath()));
    QVERIFY(chownTree(home, 65534, 65534));
    if (!writable)
        QCOMPARE(chown(QFile::encodeName(real).constData(), 0, 0), 0);
    QVERIFY(QFile::link(real, Config::configFilePath()));

    // Effective ids only: the real one stays root, which access() asks.
    QCOMPARE(setegid(65534), 0);
    QCOMPARE(seteuid(65534), 0);
    const SaveResult result = writeCountThree();
    QCOMPARE(seteuid(0), 0);
    QCOMPARE(setegid(0), 0);

    QVERIFY(QFileInfo(Config::configFilePath()).isSymLink());
    QCOMPARE(result.reason(),
             writable ? QString() : QStringLiteral("没有写入权限。"));
    QCOMPARE(readFile(real).contains("candidatecount=3"), writable);
}

// The file the kernel finds is replaced, not the one a lexical reading of
// "sub/.." names when sub is a link.
void TestRobustness::linkThroughALinkedDirectory()
{
    const QString home = m_sandbox->home.path();
    QVERIFY(QDir().mkpath(home + "/elsewhere/deep") &&
            QDir().mkpath(home + "/other") &&
            QDir().mkpath(Config::configDirPath()));
    QVERIFY(QFile::link(home + "/elsewhere/deep", home + "/other/sub"));
    QVERIFY(writeFile(home + "/elsewhere/real.ini", "[basic]\nzirate=0\n"));
    QVERIFY(
        QFile::link("../../other/sub/../real.ini", Config::configFilePath()));
    QVERIFY(writeCountThree().saved());
    QCOMPARE(storedGroup("basic"),
             Settings({{"zirate", "0"}, {"candidatecount", "3"}}));
    QVERIFY(!QFile::exists(home + "/other/real.ini"));
}

void TestRobustness::faultsLeaveTheFileAsItWas_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("reason");
    const QByteArray temporary = "*/.config_ibus.ini.*";
    const QString ioError = QStringLiteral("读写磁盘时出错（输入/输出错误）。");
    const QString notVerified = QStringLiteral("写入的内容无法完整读回。");
    QTest::newRow("I/O error")
        << QByteArray("write") << EIO << temporary << ioError;
    QTest::newRow("quota") << QByteArray("write") << EDQUOT << temporary
                           << QStringLiteral("磁盘空间不足。");
    QTest::newRow("sync fails")
        << QByteArray("fsync") << EIO << temporary << ioError;
    QTest::newRow("mode refused") << QByteArray("fchmod") << EPERM << temporary
                                  << QStringLiteral("没有写入权限。");
    QTest::newRow("short write")
        << QByteArray("write") << int(ShortWrite) << temporary << notVerified;
    // QSettings' own output, an unnamed file until it is complete, before
    // it is copied: only parsing it tells.
    QTest::newRow("altered content")
        << QByteArray("write") << int(AlteredWrite)
        << QByteArray("*/quilmo-*/#*") << notVerified;
    // QSettings' write that a full disk cuts short, in every scratch space.
    QTest::newRow("full scratch space")
        << QByteArray("write") << ENOSPC << QByteArray("*/quilmo-*/[#p]*")
        << QStringLiteral("磁盘空间不足。");
    QTest::newRow("cross-device")
        << QByteArray("rename") << EXDEV << temporary
        << QStringLiteral("设置文件是另一文件系统的挂载点，无法替换。");
    // The file is replaced, but not known to stay so after a crash.
    QTest::newRow("directory sync fails")
        << QByteArray("fsync") << EIO << QByteArray("*/.config/quilmo")
        << ioError;
}

void TestRobustness::faultsLeaveTheFileAsItWas()
{
    QFETCH(QByteArray, call);
    QFETCH(int, code);
    QFETCH(QByteArray, path);
    QFETCH(QString, reason);
    const QByteArray stored = "[basic]\nzirate=0\n[special]\nenableimode=0\n";
    writeSettings(stored);
    SaveResult result;
    {
        const FaultInjection fault(call, code, path);
        result = writeCountThree();
    }
    QCOMPARE(result.reason(), reason);
    QCOMPARE(filesInConfigDir(), QStringList{"config_ibus.ini"});
    // Replaced only when the last step, the directory's sync, failed.
    QCOMPARE(readFile(Config::configFilePath()) == stored,
             !path.endsWith("/quilmo"));
}

void TestRobustness::lockHeldElsewhere()
{
    writeSettings("[basic]\nzirate=0\n");
    const QString lockPath = Config::configFilePath() + ".lock";
    QLockFile lock(lockPath);
    QVERIFY(lock.lock());
    QCOMPARE(writeCountThree().reason(),
             QStringLiteral("设置文件正被其他程序锁定。"));
    QCOMPARE(readFile(Config::configFilePath()),
             QByteArray("[basic]\nzirate=0\n"));
    lock.unlock();
    // Left by a copy that crashed as root: the user's QLockFile cannot take
    // it over, though its holder is long gone.
    QVERIFY(writeFile(lockPath, "2147483000\nx\n\n"));
    if (geteuid() == 0)
        QVERIFY(chownTree(m_sandbox->home.path(), 65534, 65534) &&
                chown(QFile::encodeName(lockPath), 0, 0) == 0);
    QCOMPARE(runAsNobody([] { return writeCountThree().saved() ? 0 : 1; }), 0);
}

void TestRobustness::ownerAndModeKept_data()
{
    QTest::addColumn<int>("mode"); // of the file replaced; 0: none
    QTest::addColumn<uint>("owner");
    QTest::addColumn<int>("expectedMode");
    QTest::newRow("another user's 0640") << 0640 << 65534u << 0640;
    QTest::newRow("own 0604") << 0604 << uint(geteuid()) << 0604;
    // A new file gets what QSettings would give it, through the umask.
    QTest::newRow("new file") << 0 << uint(geteuid()) << 0640;
}

void TestRobustness::ownerAndModeKept()
{
    QFETCH(int, mode);
    QFETCH(uint, owner);
    QFETCH(int, expectedMode);
    if (owner != geteuid() && geteuid() != 0)
        QSKIP("only root can keep another user's file theirs");
    const QByteArray file = QFile::encodeName(Config::configFilePath());
    if (mode) {
        writeSettings("[basic]\nzirate=0\n");
        QCOMPARE(chown(file.constData(), owner, owner), 0);
        QCOMPARE(chmod(file.constData(), mode_t(mode)), 0);
    }
    const mode_t oldMask = umask(027);
    const SaveResult result = writeCountThree();
    umask(oldMask);

    QVERIFY(result.saved());
    struct stat status = {};
    QCOMPARE(stat(file.constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(expectedMode));
    QCOMPARE(status.st_uid, uid_t(owner));
    QCOMPARE(status.st_gid, mode ? gid_t(owner) : getegid());
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
    QVERIFY(!readOnly || QDir().mkdir(home));
    std::optional<ReadOnlyPath> locked;
    if (readOnly && !locked.emplace(home).whyNot().isEmpty())
        QSKIP(qPrintable(locked->whyNot()));
    qputenv("HOME", home.toUtf8());

    RecordingMainWidget widget;
    QCOMPARE(applyCountThree(widget), !readOnly);
    QCOMPARE(widget.failures.size(), readOnly ? 1 : 0);
}

void TestRobustness::hostileWordLibDirectory()
{
    const QString dir = Config::wordLibDirPath(WordLibDirPathUser);
    QVERIFY(
        writeWordLib(dir + QStringLiteral("user.qlb"), QStringLiteral("u")));
    for (int i = 0; i < 10000; ++i)
        QVERIFY(writeFile(dir + QStringLiteral("note%1.txt").arg(i), "x"));
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
