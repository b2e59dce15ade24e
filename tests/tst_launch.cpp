// SPDX-License-Identifier: GPL-2.0-or-later
// The real executable as a process: its command line, the single-instance
// lock, the raise requests of later starts, the identity it runs with and
// how it ends.
#include "app/Launch.h"
#include "app/SingleInstance.h"
#include "support/Restrictions.h"
#include "support/TestSupport.h"

#include <QLocalSocket>
#include <QProcess>
#include <QSharedMemory>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/ipc.h>
#include <sys/resource.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const QString token = QStringLiteral("7d3e9b20-5f4c-4a81-b6d2-0c9e8f17a3b5");
const QString tool = QStringLiteral(QUILMO_TOOL);

/// Where TMPDIR points for the copies started.
enum class TempDir { Same, OnePerStart, Missing, ReadOnly, SharedWithOthers };

/// The "Uid:", "Gid:" and "Groups:" lines of process @p pid.
QStringList identityOf(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    status.open(QIODevice::ReadOnly);
    return QString::fromUtf8(status.readAll())
        .split('\n')
        .filter(QRegularExpression("^(Uid|Gid|Groups):"))
        .replaceInStrings(QRegularExpression("\\s+$"), QString())
        .replaceInStrings(QRegularExpression("\\s+"), " ");
}

/// How another user could stop every start of the old lock: a 000 segment
/// under the key Qt derives from the key file in a shared TMPDIR @p dir.
/// @return the segment's id
int plantOthersSegment(const QString &dir)
{
    const QByteArray savedTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dir));
    const QByteArray keyFile =
        QFile::encodeName(QSharedMemory(singleInstanceKey()).nativeKey());
    qputenv("TMPDIR", savedTmpDir);
    runAsNobody([&] {
        close(open(keyFile.constData(), O_CREAT | O_WRONLY, 0644));
        return shmget(ftok(keyFile.constData(), 'Q'), 1, IPC_CREAT);
    });
    return shmget(ftok(keyFile.constData(), 'Q'), 0, 0);
}
} // namespace

Q_DECLARE_METATYPE(TempDir)

class TestLaunch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void rejectsCommandLine_data();
    void rejectsCommandLine();
    void endsOnSignals_data();
    void endsOnSignals();
    void raiseRequestsAreReadWhole_data();
    void raiseRequestsAreReadWhole();
    void oneOfSimultaneousStartsRuns_data();
    void oneOfSimultaneousStartsRuns();
    void lockDirectoryIsTheUsersAlone_data();
    void lockDirectoryIsTheUsersAlone();
    void opensWhateverIsInTheLocksPlace_data();
    void opensWhateverIsInTheLocksPlace();
    void runsAsTheHomeOwner_data();
    void runsAsTheHomeOwner();
    void refusesWhenItCannotBecomeTheOwner_data();
    void refusesWhenItCannotBecomeTheOwner();

private:
    /// A private HOME, runtime and temporary directory, no IBus daemon.
    QProcessEnvironment toolEnvironment() const;
    /// Starts the tool in toolEnvironment(), with or without leak checks.
    void startTool(QProcess &process, const QStringList &arguments,
                   bool detectLeaks = true);
    /// The private directory of the copies started, given m_runtimeDir.
    QString privateDirectory() const;
    /// Asks the running copy to raise its window; true once it answered.
    bool raiseAnswered() const;
    /// Runs a copy to its end and returns its exit code (-2: still running).
    int runToEnd(const QStringList &arguments, QByteArray *stderrText);

    std::unique_ptr<TemporaryHome> m_home;
    /// XDG_RUNTIME_DIR for the copies started; empty leaves it unset.
    QString m_runtimeDir;
    /// TMPDIR for the next copy started; empty leaves it unset.
    QString m_tmpDir;
};

void TestLaunch::init()
{
    m_home = std::make_unique<TemporaryHome>();
    // Private: copies of parallel tests, or the developer's, stay apart.
    m_runtimeDir = m_home->path() + QStringLiteral("/run");
    m_tmpDir.clear();
    QVERIFY(QDir().mkdir(m_runtimeDir));
    QVERIFY(QFile::setPermissions(
        m_runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestLaunch::cleanup()
{
    m_home.reset();
}

QProcessEnvironment TestLaunch::toolEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("IBUS_ADDRESS"), QStringLiteral("unix:path=") +
                                                   m_home->path() +
                                                   QStringLiteral("/no-ibus"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!m_runtimeDir.isEmpty())
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir);
    env.remove(QStringLiteral("TMPDIR"));
    if (!m_tmpDir.isEmpty())
        env.insert(QStringLiteral("TMPDIR"), m_tmpDir);
    return env;
}

void TestLaunch::startTool(QProcess &process, const QStringList &arguments,
                           bool detectLeaks)
{
    QProcessEnvironment environment = toolEnvironment();
    if (!detectLeaks)
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(environment);
    process.start(tool, arguments);
    QVERIFY(process.waitForStarted());
}

QString TestLaunch::privateDirectory() const
{
    if (m_runtimeDir.isEmpty())
        return m_home->path() + QStringLiteral("/.cache/quilmo-config");
    return m_runtimeDir + QStringLiteral("/quilmo-config");
}

bool TestLaunch::raiseAnswered() const
{
    QLocalSocket socket;
    socket.connectToServer(privateDirectory() + QStringLiteral("/socket"));
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("\n"); // no activation token
    return socket.waitForReadyRead(5000);
}

int TestLaunch::runToEnd(const QStringList &arguments, QByteArray *stderrText)
{
    QProcess process;
    startTool(process, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return -2;
    }
    if (stderrText)
        *stderrText = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode()
                                                        : -3;
}

void TestLaunch::rejectsCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no argument") << QStringList();
    QTest::newRow("two arguments") << QStringList({token, token});
    QTest::newRow("one extra character") << QStringList({token + 'a'});
    QTest::newRow("last character missing") << QStringList({token.chopped(1)});
    QTest::newRow("upper case") << QStringList({token.toUpper()});
    QTest::newRow("empty") << QStringList({QString()});
}

void TestLaunch::rejectsCommandLine()
{
    QFETCH(QStringList, arguments);
    QByteArray errors;
    QCOMPARE(runToEnd(arguments, &errors), 255);
    QCOMPARE(errors, QByteArray("Parameter error!\n"));
}

void TestLaunch::endsOnSignals_data()
{
    QTest::addColumn<int>("endSignal");
    QTest::addColumn<int>("signalCount");
    QTest::addColumn<bool>("firstStopped");
    QTest::newRow("SIGTERM") << int(SIGTERM) << 1 << false;
    QTest::newRow("SIGINT") << int(SIGINT) << 1 << false;
    QTest::newRow("SIGHUP") << int(SIGHUP) << 1 << false;
    // More than the signal pipe holds: the handler must never block.
    QTest::newRow("3,000 SIGTERMs") << int(SIGTERM) << 3000 << false;
    // A second start connects, but never hears back.
    QTest::newRow("after a second start, first copy stopped")
        << int(SIGTERM) << 1 << true;
}

// A signal ends the tool like closing its window: status 0 and the lock
// released, so the next start runs. (tst_window raises a running copy.)
void TestLaunch::endsOnSignals()
{
    QFETCH(int, endSignal);
    QFETCH(int, signalCount);
    QFETCH(bool, firstStopped);
    QProcess first;
    startTool(first, {token});
    QTRY_VERIFY_WITH_TIMEOUT(raiseAnswered(), 10000);
    const auto firstPid = pid_t(first.processId());
    if (firstStopped) {
        ::kill(firstPid, SIGSTOP);
        QElapsedTimer elapsed;
        elapsed.start();
        QByteArray errors;
        QCOMPARE(runToEnd({token}, &errors), 0);
        // At most a second of waiting, plus the start-up on a busy machine.
        QVERIFY2(elapsed.elapsed() < 5000,
                 qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(errors, QByteArray());
        QCOMPARE(first.state(), QProcess::Running);
        ::kill(firstPid, SIGCONT);
    }

    for (int i = 0; i < signalCount; ++i)
        ::kill(firstPid, endSignal);
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    // Traces read as they always have, without a category before them.
    const QByteArray traces = '\n' + first.readAllStandardError();
    QVERIFY2(traces.contains("\n\"/") && !traces.contains("quilmo: "),
             traces.constData());

    QProcess next;
    startTool(next, {token});
    QTRY_VERIFY_WITH_TIMEOUT(raiseAnswered(), 10000);
    next.terminate();
    QVERIFY(next.waitForFinished(10000));
}

void TestLaunch::raiseRequestsAreReadWhole_data()
{
    QTest::addColumn<QByteArrayList>("writes");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("silentClients");
    QTest::newRow("token in two writes")
        << QByteArrayList{"tok", "en\n"} << QByteArray("\n") << 0;
    QTest::newRow("no line end in 5,000 bytes")
        << QByteArrayList{QByteArray(5000, 'x')} << QByteArray() << 0;
    // Each holds a descriptor of the copy's, which has 16 to spare.
    QTest::newRow("after 40 silent clients")
        << QByteArrayList{"\n"} << QByteArray("\n") << 40;
}

// Never left waiting, and the copy goes on answering.
void TestLaunch::raiseRequestsAreReadWhole()
{
    QFETCH(QByteArrayList, writes);
    QFETCH(QByteArray, answer);
    QFETCH(int, silentClients);
    QProcess tool;
    startTool(tool, {token});
    QTRY_VERIFY_WITH_TIMEOUT(raiseAnswered(), 10000);
    const auto pid = pid_t(tool.processId());
    const auto spare = rlim_t(QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                                  .entryList(QDir::Files | QDir::System)
                                  .size() +
                              16);
    const rlimit few = {spare, spare};
    QCOMPARE(prlimit(pid, RLIMIT_NOFILE, &few, nullptr), 0);
    std::vector<QLocalSocket> silent(static_cast<size_t>(silentClients));
    for (QLocalSocket &client : silent)
        client.connectToServer(privateDirectory() + QStringLiteral("/socket"));
    QLocalSocket socket;
    socket.connectToServer(privateDirectory() + QStringLiteral("/socket"));
    QVERIFY(socket.waitForConnected(1000));
    for (const QByteArray &part : qAsConst(writes)) {
        socket.write(part);
        QVERIFY(socket.waitForBytesWritten(1000));
        QTest::qWait(100);
    }
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState,
                              10000);
    QCOMPARE(socket.readAll(), answer);
    QVERIFY(raiseAnswered());
    tool.terminate();
    QVERIFY(tool.waitForFinished(10000));
}

void TestLaunch::oneOfSimultaneousStartsRuns_data()
{
    QTest::addColumn<bool>("afterACrash");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("runtimeDirSet");
    QTest::addColumn<TempDir>("tempDir");
    const TempDir same = TempDir::Same, each = TempDir::OnePerStart;
    QTest::newRow("after SIGKILL") << true << 1 << true << same;
    QTest::newRow("after SIGKILL, three at once") << true << 3 << true << same;
    QTest::newRow("20 at once") << false << 20 << true << same;
    QTest::newRow("20 at once, no XDG_RUNTIME_DIR")
        << false << 20 << false << same;
    QTest::newRow("another TMPDIR each") << false << 3 << true << each;
    QTest::newRow("another TMPDIR each, no XDG_RUNTIME_DIR")
        << false << 3 << false << each;
    QTest::newRow("TMPDIR missing") << false << 3 << true << TempDir::Missing;
    QTest::newRow("TMPDIR read-only")
        << false << 3 << true << TempDir::ReadOnly;
    QTest::newRow("another user's segment in TMPDIR")
        << false << 1 << true << TempDir::SharedWithOthers;
}

void TestLaunch::oneOfSimultaneousStartsRuns()
{
    QFETCH(bool, afterACrash);
    QFETCH(int, copies);
    QFETCH(bool, runtimeDirSet);
    QFETCH(TempDir, tempDir);
    if (!runtimeDirSet)
        m_runtimeDir.clear();
    const QString tmp = m_home->path() + QStringLiteral("/tmp");
    QVERIFY(tempDir == TempDir::Missing || QDir().mkdir(tmp));
    m_tmpDir = tmp;
    std::optional<ReadOnlyPath> readOnly;
    if (tempDir == TempDir::ReadOnly &&
        !readOnly.emplace(tmp).whyNot().isEmpty())
        QSKIP(qPrintable(readOnly->whyNot()));
    int segment = -1;
    if (tempDir == TempDir::SharedWithOthers) {
        QCOMPARE(chmod(QFile::encodeName(tmp).constData(), 01777), 0);
        segment = plantOthersSegment(tmp);
    }
    if (afterACrash) {
        // It leaves its lock file and its socket file behind.
        QProcess crashed;
        startTool(crashed, {token});
        QTRY_VERIFY_WITH_TIMEOUT(raiseAnswered(), 10000);
        crashed.kill();
        QVERIFY(crashed.waitForFinished(10000));
    }
    std::list<QProcess> starts;
    for (int i = 0; i < copies; ++i) {
        if (tempDir == TempDir::OnePerStart)
            QVERIFY(QDir().mkpath(m_tmpDir = tmp + QString::number(i)));
        startTool(starts.emplace_back(), {token});
    }
    auto isRunning = [](const QProcess &p) {
        return p.state() == QProcess::Running;
    };
    QTRY_COMPARE_WITH_TIMEOUT(
        std::count_if(starts.begin(), starts.end(), isRunning), 1L, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(raiseAnswered(), 10000);
    if (segment != -1)
        shmctl(segment, IPC_RMID, nullptr);
    // Other copies, of other versions too, know the lock by this name.
    QVERIFY(
        QFile::exists(privateDirectory() + '/' +
                      QStringLiteral("quilmo_config_tools_%1").arg(getuid())));
    struct stat directory = {};
    QCOMPARE(
        lstat(QFile::encodeName(privateDirectory()).constData(), &directory),
        0);
    QCOMPARE(int(directory.st_mode & 0777), 0700);

    QProcess &survivor = *std::find_if(starts.begin(), starts.end(), isRunning);
    survivor.terminate();
    QVERIFY(survivor.waitForFinished(10000));
    for (const QProcess &start : starts) {
        QCOMPARE(start.exitStatus(), QProcess::NormalExit);
        QCOMPARE(start.exitCode(), 0);
    }
}

void TestLaunch::lockDirectoryIsTheUsersAlone_data()
{
    QTest::addColumn<QString>("runtimeDir"); // below the home; empty: unset
    QTest::addColumn<QString>("setUp");      // shell, in the home
    QTest::addColumn<QString>("expected");   // below the home
    const QString inRuntime = "/run/quilmo-config";
    const QString inHome = "/.cache/quilmo-config", none;
    QTest::newRow("runtime directory") << "/run" << none << inRuntime;
    QTest::newRow("none") << none << none << inHome;
    QTest::newRow("relative") << "run" << none << inHome;
    QTest::newRow("open to others")
        << "/run" << QString("mkdir -m 755 run/quilmo-config") << inHome;
    QTest::newRow("a link")
        << "/run" << QString("ln -s .. run/quilmo-config") << inHome;
    QTest::newRow("another user's runtime directory")
        << "/run" << QString("chown 65534 run") << inHome;
    QTest::newRow("another user's directory")
        << "/run"
        << QString("mkdir -m 700 run/quilmo-config; chown 65534 run/*")
        << inHome;
}

void TestLaunch::lockDirectoryIsTheUsersAlone()
{
    QFETCH(QString, runtimeDir);
    QFETCH(QString, setUp);
    QFETCH(QString, expected);
    if (setUp.contains("chown") && geteuid() != 0)
        QSKIP("only root can give a directory away");
    const QString home = m_home->path();
    QProcess shell;
    shell.setWorkingDirectory(home);
    shell.start("sh", {"-c", setUp});
    QVERIFY(shell.waitForFinished() && shell.exitCode() == 0);
    if (!runtimeDir.isEmpty())
        qputenv("XDG_RUNTIME_DIR",
                QFile::encodeName(runtimeDir.startsWith('/') ? home + runtimeDir
                                                             : runtimeDir));
    const QString directory = SingleInstance::privateDirectory();
    qunsetenv("XDG_RUNTIME_DIR");
    QCOMPARE(directory, home + expected);
}

void TestLaunch::opensWhateverIsInTheLocksPlace_data()
{
    QTest::addColumn<QString>("setUp"); // shell, in the private directory
    QTest::addColumn<QString>("fault"); // that leaves no lock; the user told
    const QString none;
    QTest::newRow("full disk") << ": %1" << QString("full disk");
    // Neither a runtime directory nor a writable home.
    QTest::newRow("no private directory") << none << QString("read-only home");
    QTest::newRow("fifo") << "mkfifo %1" << none;
    QTest::newRow("directory") << "mkdir %1" << none;
    QTest::newRow("dangling link") << "ln -s nowhere %1" << none;
    QTest::newRow("directory as raise socket") << "mkdir socket # %1" << none;
}

// Only a live copy keeps a start from its window: not a lock file that
// cannot be written, nor something that is no lock file at all, nor the
// lack of a place for one.
void TestLaunch::opensWhateverIsInTheLocksPlace()
{
    QFETCH(QString, setUp);
    QFETCH(QString, fault);
    std::optional<SmallFileSystem> disk;
    std::optional<ReadOnlyPath> readOnly;
    if (fault == "full disk" &&
        !disk.emplace(m_runtimeDir, 16).whyNot().isEmpty())
        QSKIP(qPrintable(disk->whyNot()));
    QVERIFY(!disk || disk->fillLeaving(0));
    if (fault == "read-only home") {
        m_runtimeDir.clear();
        if (!readOnly.emplace(m_home->path()).whyNot().isEmpty())
            QSKIP(qPrintable(readOnly->whyNot()));
    }
    if (!setUp.isEmpty()) { // else no place for the private directory
        const QString directory = privateDirectory();
        QVERIFY(QDir().mkpath(directory));
        QCOMPARE(chmod(QFile::encodeName(directory), 0700), 0);
        QProcess shell;
        shell.setWorkingDirectory(directory);
        shell.start("sh", {"-c", setUp.arg(singleInstanceKey())});
        QVERIFY(shell.waitForFinished() && shell.exitCode() == 0);
    }
    QProcess copy;
    startTool(copy, {token});
    if (!fault.isEmpty())
        QVERIFY(!copy.waitForFinished(3000));
    else // and locked, by a lock file in the place of what was there
        QTRY_VERIFY_WITH_TIMEOUT(raiseAnswered(), 10000);
    QCOMPARE(QString::fromUtf8(copy.readAllStandardError())
                 .split('\n')
                 .contains("没有可用的私有目录，无法阻止同时运行多个副本。"),
             !fault.isEmpty());
    copy.terminate();
    QVERIFY(copy.waitForFinished(10000));
}

void TestLaunch::runsAsTheHomeOwner_data()
{
    QTest::addColumn<uint>("owner");
    QTest::addColumn<uint>("group"); // of the home; the account's wins
    QTest::addColumn<QStringList>("identity");
    QTest::newRow("nobody's home")
        << 65534u << 0u
        << QStringList{"Uid: 65534 65534 65534 65534",
                       "Gid: 65534 65534 65534 65534", "Groups: 65534"};
    QTest::newRow("home of an id without an account")
        << 54321u << 54322u
        << QStringList{"Uid: 54321 54321 54321 54321",
                       "Gid: 54322 54322 54322 54322", "Groups: 54322"};
    QTest::newRow("root's own home") << 0u << 0u << identityOf(getpid());
}

// As root (sudo -E) on a user's home, the tool is that user from the start:
// whatever it, Qt or a library makes there is the user's.
void TestLaunch::runsAsTheHomeOwner()
{
    QFETCH(uint, owner);
    QFETCH(uint, group);
    QFETCH(QStringList, identity);
    if (geteuid() != 0)
        QSKIP("only root changes its identity");
    QVERIFY(chownTree(m_home->path(), owner, group));
    QProcess copy;
    // The leak checker can neither stop a process that changed its ids nor
    // read root's suppressions afterwards.
    startTool(copy, {token}, false);
    QTRY_VERIFY_WITH_TIMEOUT(raiseAnswered(), 10000);
    QCOMPARE(identityOf(copy.processId()), identity);
    copy.terminate();
    QVERIFY(copy.waitForFinished(10000));
    QCOMPARE(copy.exitCode(), 0);
    if (owner != 0)
        QCOMPARE(ownedByRoot(m_home->path()), QStringList());
}

void TestLaunch::refusesWhenItCannotBecomeTheOwner_data()
{
    QTest::addColumn<QStringList>("wrapper");
    QTest::addColumn<uint>("owner"); // of the home
    QTest::addColumn<QString>("message");
    const QString cannot =
        QStringLiteral("无法切换为主目录所有者的身份运行，未做任何更改。");
    QTest::newRow("owner without an id in the user namespace")
        << QStringList{"unshare", "--user", "--map-root-user"} << 65534u
        << cannot;
    QTest::newRow("capabilities kept across setuid")
        << QStringList{"setpriv", "--securebits", "+no_setuid_fixup"} << 65534u
        << cannot;
    // Others could plant links to root's files there.
    QTest::newRow("root's home that others may write to (HOME=/tmp)")
        << QStringList{"env"} << 0u
        << QStringLiteral("其他用户可以写入主目录，以 root "
                          "身份运行不安全，未做任何更改。");
}

// A switch that cannot be made, or after which root could come back,
// stops the tool before it touches anything.
void TestLaunch::refusesWhenItCannotBecomeTheOwner()
{
    QFETCH(QStringList, wrapper);
    QFETCH(uint, owner);
    QFETCH(QString, message);
    const QString program = QStandardPaths::findExecutable(wrapper.first());
    if (geteuid() != 0 || program.isEmpty())
        QSKIP("needs root and util-linux");
    // A chroot, for one, may not make user namespaces.
    if (QProcess::execute(program, wrapper.mid(1) << QStringLiteral("true")))
        QSKIP("this system does not let the wrapper run");
    QVERIFY(chownTree(m_home->path(), owner, owner));
    if (owner == 0)
        QCOMPARE(chmod(QFile::encodeName(m_home->path()).constData(), 01777),
                 0);
    const QStringList before =
        QDir(m_home->path()).entryList(QDir::AllEntries | QDir::Hidden);
    QProcess refused;
    refused.setProcessEnvironment(toolEnvironment());
    refused.start(program, wrapper.mid(1) + QStringList{tool, token});
    QVERIFY(refused.waitForFinished(10000));
    QCOMPARE(refused.exitCode(), 255);
    QCOMPARE(QString::fromUtf8(refused.readAllStandardError()), message + '\n');
    QCOMPARE(QDir(m_home->path()).entryList(QDir::AllEntries | QDir::Hidden),
             before);
}

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
