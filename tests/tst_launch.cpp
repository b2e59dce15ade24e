// SPDX-License-Identifier: GPL-2.0-or-later
// The real executable as a process: its command line, the single-instance
// lock, the raise requests of later starts and how it ends.
#include "app/SingleInstance.h"
#include "support/TestSupport.h"

#include <QLocalSocket>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const QString token = QStringLiteral("7d3e9b20-5f4c-4a81-b6d2-0c9e8f17a3b5");
const QString tool = QStringLiteral(QUILMO_TOOL);
} // namespace

class TestLaunch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void rejectsCommandLine_data();
    void rejectsCommandLine();
    void endsOnSignals_data();
    void endsOnSignals();
    void oneOfSimultaneousStartsRuns_data();
    void oneOfSimultaneousStartsRuns();

private:
    /// Starts the tool with a private HOME and no reachable IBus daemon.
    void startTool(QProcess &process, const QStringList &arguments);
    /// Waits until a running copy holds the lock.
    bool waitForLock();
    /// The private directory of the copies started, given m_runtimeDir.
    QString privateDirectory() const;
    /// Asks the running copy to raise its window; true once it answered.
    bool raiseAnswered() const;
    /// Runs a copy to its end and returns its exit code (-2: still running).
    int runToEnd(const QStringList &arguments, QByteArray *stderrText);

    std::unique_ptr<TemporaryHome> m_home;
    QTemporaryDir m_lockDir;
    /// XDG_RUNTIME_DIR for the copies started; empty leaves it unset.
    QString m_runtimeDir;
};

void TestLaunch::initTestCase()
{
    // The lock's key file lives in the temporary directory: a private one
    // keeps a copy the developer has open out of these tests.
    qputenv("TMPDIR", m_lockDir.path().toUtf8());
}

void TestLaunch::init()
{
    m_home = std::make_unique<TemporaryHome>();
    m_runtimeDir = m_home->path() + QStringLiteral("/run");
    QVERIFY(QDir().mkdir(m_runtimeDir));
    QVERIFY(QFile::setPermissions(
        m_runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestLaunch::cleanup()
{
    m_home.reset();
}

void TestLaunch::startTool(QProcess &process, const QStringList &arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("IBUS_ADDRESS"), QStringLiteral("unix:path=") +
                                                   m_home->path() +
                                                   QStringLiteral("/no-ibus"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!m_runtimeDir.isEmpty())
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir);
    process.setProcessEnvironment(env);
    process.start(tool, arguments);
    QVERIFY(process.waitForStarted());
}

bool TestLaunch::waitForLock()
{
    // Counts without attaching: a probe's own attach and detach could remove
    // a segment that a starting copy has created but not attached yet.
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (SingleInstance::holderCount() > 0)
            return true;
        QThread::msleep(20);
    }
    return false;
}

QString TestLaunch::privateDirectory() const
{
    if (m_runtimeDir.isEmpty())
        return m_lockDir.filePath(
            QStringLiteral("quilmo-config-%1").arg(getuid()));
    return m_runtimeDir + QStringLiteral("/quilmo-config");
}

bool TestLaunch::raiseAnswered() const
{
    QLocalSocket socket;
    socket.connectToServer(privateDirectory() + QStringLiteral("/socket"));
    return socket.waitForConnected(1000) && socket.waitForReadyRead(5000);
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
    QVERIFY(waitForLock());
    next.terminate();
    QVERIFY(next.waitForFinished(10000));
}

void TestLaunch::oneOfSimultaneousStartsRuns_data()
{
    QTest::addColumn<bool>("afterACrash");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("runtimeDirSet");
    QTest::newRow("after SIGKILL") << true << 1 << true;
    QTest::newRow("after SIGKILL, three at once") << true << 3 << true;
    QTest::newRow("three at once") << false << 3 << true;
    QTest::newRow("three at once, no XDG_RUNTIME_DIR") << false << 3 << false;
}

void TestLaunch::oneOfSimultaneousStartsRuns()
{
    QFETCH(bool, afterACrash);
    QFETCH(int, copies);
    QFETCH(bool, runtimeDirSet);
    if (!runtimeDirSet)
        m_runtimeDir.clear();
    if (afterACrash) {
        // It leaves its segment and its socket file behind.
        QProcess crashed;
        startTool(crashed, {token});
        QTRY_VERIFY_WITH_TIMEOUT(raiseAnswered(), 10000);
        crashed.kill();
        QVERIFY(crashed.waitForFinished(10000));
    }
    std::list<QProcess> starts;
    for (int i = 0; i < copies; ++i)
        startTool(starts.emplace_back(), {token});
    auto isRunning = [](const QProcess &p) {
        return p.state() == QProcess::Running;
    };
    QTRY_COMPARE_WITH_TIMEOUT(
        std::count_if(starts.begin(), starts.end(), isRunning), 1L, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(raiseAnswered(), 10000);
    QCOMPARE(SingleInstance::holderCount(), 1);
    // Other copies, of other versions too, know the lock by this name.
    QVERIFY(QFile::exists(QSharedMemory(QStringLiteral("quilmo_config_tools_") +
                                        QString::number(getuid()))
                              .nativeKey()));
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

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
