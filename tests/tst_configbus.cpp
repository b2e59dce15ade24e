// SPDX-License-Identifier: GPL-2.0-or-later
// ConfigBusIBus against a private ibus-daemon: what reaches "engine/quilmo",
// the trace lines, and a daemon that dies.
#include "config/ConfigBusIBus.h"
#include "support/IBusDaemon.h"
#include "support/TestSupport.h"

#include <QtTest>

class TestConfigBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void instanceIsOneObject();
    void valuesReachTheService_data();
    void valuesReachTheService();
    void intWriteTracesNameAndValue();
    void stringWriteTracesNothingOnSuccess();
    void hungDaemonCostsBoundedTime();
    void deadDaemonFailsEachWriteAndRestartedOneReceives();
    void hungDaemonCostsOneCommitAboutASecond_data();
    void hungDaemonCostsOneCommitAboutASecond();

private:
    IBusDaemon m_daemon;
    ConfigBus *m_bus = nullptr;
};

void TestConfigBus::initTestCase()
{
    const QString why = m_daemon.start();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    m_bus = ConfigBus::instance();
    QVERIFY(m_bus->init());
}

void TestConfigBus::instanceIsOneObject()
{
    QCOMPARE(ConfigBus::instance(), m_bus);
    QVERIFY(dynamic_cast<ConfigBusIBus *>(m_bus));
}

void TestConfigBus::valuesReachTheService_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("int") << "candidateCount" << QVariant(5);
    QTest::newRow("negative int") << "customPhraseDisplayPos" << QVariant(-1);
    QTest::newRow("ascii string")
        << "wordLibNames" << QVariant(QStringLiteral("user.qlb;a.qlb"));
    QTest::newRow("chinese string")
        << "wordLibNames" << QVariant(QStringLiteral("user.qlb;中文.qlb"));
    QTest::newRow("latin-1 string")
        << "wordLibNames" << QVariant(QStringLiteral("café.qlb"));
    QTest::newRow("empty string") << "wordLibNames" << QVariant(QString());
}

void TestConfigBus::valuesReachTheService()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    DebugCapture debug;
    if (value.type() == QVariant::Int)
        m_bus->setValue_Int(name, value.toInt());
    else
        m_bus->setValue_String(name, value.toString());
    QVERIFY(!debug.lines().contains(QStringLiteral("ibus set value failed!")));
    const QVariant stored = m_daemon.value(name);
    QCOMPARE(stored.type(),
             value.type() == QVariant::Int ? QVariant::Int : QVariant::String);
    QCOMPARE(stored, value);
}

void TestConfigBus::intWriteTracesNameAndValue()
{
    DebugCapture debug;
    m_bus->setValue_Int(QStringLiteral("hideStatusWindow"), 1);
    QCOMPARE(debug.lines(),
             QStringList({QStringLiteral("name:  \"hideStatusWindow\" , "
                                         "value:  1"),
                          QStringLiteral("hideStatusWindow")}));
}

void TestConfigBus::stringWriteTracesNothingOnSuccess()
{
    DebugCapture debug;
    m_bus->setValue_String(QStringLiteral("wordLibNames"),
                           QStringLiteral("user.qlb;sys.qlb"));
    QCOMPARE(debug.lines(), QStringList());
}

void TestConfigBus::hungDaemonCostsBoundedTime()
{
    // Ten writes, as many as one Apply of every setting makes.
    const int writes = 10;
    m_daemon.pause();
    DebugCapture debug;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < writes; ++i)
        m_bus->setValue_Int(QStringLiteral("candidateCount"), i);
    const qint64 elapsed = timer.elapsed();
    m_daemon.resume();
    QCOMPARE(debug.lines().count(QStringLiteral("ibus set value failed!")),
             writes);
    QVERIFY2(elapsed < 5500, qPrintable(QString::number(elapsed)));

    debug.clear();
    m_bus->setValue_Int(QStringLiteral("candidateCount"), 7);
    QCOMPARE(debug.lines().count(QStringLiteral("ibus set value failed!")), 0);
    QCOMPARE(m_daemon.value(QStringLiteral("candidateCount")), QVariant(7));
}

void TestConfigBus::deadDaemonFailsEachWriteAndRestartedOneReceives()
{
    m_daemon.kill();
    {
        DebugCapture debug;
        QElapsedTimer timer;
        timer.start();
        m_bus->setValue_Int(QStringLiteral("ziRate"), 2);
        m_bus->setValue_String(QStringLiteral("wordLibNames"),
                               QStringLiteral("user.qlb"));
        QCOMPARE(debug.lines().count(QStringLiteral("ibus set value failed!")),
                 2);
        // Nothing listens any more: no reason to wait.
        QVERIFY2(timer.elapsed() < 200,
                 qPrintable(QString::number(timer.elapsed())));
    }
    const QString why = m_daemon.restart();
    QVERIFY2(why.isEmpty(), qPrintable(why));
    // The client learns of the new daemon from the event loop.
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            DebugCapture debug;
            m_bus->setValue_Int(QStringLiteral("ziRate"), 0);
            return debug.lines().count(
                       QStringLiteral("ibus set value failed!")) == 0;
        }(),
        10000);
    QCOMPARE(m_daemon.value(QStringLiteral("ziRate")), QVariant(0));
}

void TestConfigBus::hungDaemonCostsOneCommitAboutASecond_data()
{
    // Steps are init(), then each value; the daemon stops after the first
    // stopAfter of them.
    QTest::addColumn<int>("stopAfter");
    QTest::addColumn<int>("failures");
    QTest::newRow("stopped before init") << 0 << 4;
    QTest::newRow("stopped after init, before the first value") << 1 << 4;
    QTest::newRow("stopped between two values") << 2 << 3;
}

void TestConfigBus::hungDaemonCostsOneCommitAboutASecond()
{
    QFETCH(int, stopAfter);
    QFETCH(int, failures);
    m_bus->uninit(); // so that init() starts from nothing
    int steps = 0;
    const auto step = [&] {
        if (steps++ == stopAfter)
            m_daemon.pause();
    };
    step();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(m_bus->init());
    const qint64 initMs = timer.elapsed();
    QTest::qSleep(200); // the connection completes on a GLib worker thread
    step();
    DebugCapture debug;
    timer.restart();
    m_bus->beginCommit();
    for (int value = 1; value <= 4; ++value) {
        m_bus->setValue_Int(QStringLiteral("candidateCount"), value);
        step();
    }
    const qint64 commitMs = timer.elapsed();
    m_daemon.resume();
    QVERIFY2(initMs < 200, qPrintable(QString::number(initMs)));
    // One step times out, the rest of the commit fails at once.
    QVERIFY2(commitMs < 2 * ConfigBusIBus::callTimeoutMs,
             qPrintable(QString::number(commitMs)));
    QCOMPARE(debug.lines().count(QStringLiteral("ibus set value failed!")),
             failures);
    QVERIFY(!m_bus->commitDelivered());

    m_bus->beginCommit();
    m_bus->setValue_Int(QStringLiteral("candidateCount"), 9);
    QVERIFY(m_bus->commitDelivered());
    QCOMPARE(m_daemon.value(QStringLiteral("candidateCount")), QVariant(9));
}

QTEST_MAIN(TestConfigBus)
#include "tst_configbus.moc"
