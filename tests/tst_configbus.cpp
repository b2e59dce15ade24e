// SPDX-License-Identifier: GPL-2.0-or-later
// ConfigBusIBus against a private ibus-daemon: what reaches "engine/quilmo",
// from the bus itself and from the container's Apply, and a daemon that
// hangs or dies.
#include "config/Config.h"
#include "config/ConfigBusIBus.h"
#include "support/IBusDaemon.h"
#include "support/TestSupport.h"
#include "support/WordLibBuilder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTableWidget>
#include <QtTest>

#include <cstring>
#include <ibus.h>

namespace
{
int failuresIn(const DebugCapture &debug)
{
    return debug.lines().count(QStringLiteral("ibus set value failed!"));
}

/// Stops the daemon as libibus asks it for the configuration's change
/// signals: a call it makes synchronously, with its own timeout.
GDBusMessage *stopOnWatch(GDBusConnection *, GDBusMessage *message,
                          gboolean incoming, gpointer daemon)
{
    const char *rule = "";
    if (!incoming && !g_strcmp0(g_dbus_message_get_member(message), "AddMatch"))
        g_variant_get(g_dbus_message_get_body(message), "(&s)", &rule);
    if (strstr(rule, "member='ValueChanged'"))
        static_cast<IBusDaemon *>(daemon)->pause();
    return message;
}

template <typename Widget>
Widget *childOf(const QWidget &parent, const char *name)
{
    return parent.findChild<Widget *>(QLatin1String(name));
}
} // namespace

class TestConfigBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void valuesReachTheService_data();
    void valuesReachTheService();
    void hungDaemonCostsBoundedTime();
    void applyReachesTheEngineAndSurvivesItsDeath();
    void hungDaemonCostsOneCommitAboutASecond_data();
    void hungDaemonCostsOneCommitAboutASecond();
    void daemonStoppedWhileTheProxyIsMade();
    void reachableAsSoonAsConnected();

private:
    IBusDaemon m_daemon;
    ConfigBus *m_bus = nullptr;
};

void TestConfigBus::initTestCase()
{
    QUILMO_REQUIRE_SERVICE(m_daemon.start());
    QString whyNot; // the Apply lists the system libraries too
    QVERIFY2(!emptySystemWordLibDir(&whyNot).isEmpty(), qPrintable(whyNot));
    // libibus reads it as 15 s; a session's -1 would be for ever.
    qputenv("IBUS_TIMEOUT", "unreadable");
    m_bus = ConfigBus::instance();
    QVERIFY(m_bus->init());
}

void TestConfigBus::valuesReachTheService_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<BusValue>("value");
    QTest::newRow("int") << "candidateCount" << BusValue(5);
    QTest::newRow("negative int") << "customPhraseDisplayPos" << BusValue(-1);
    QTest::newRow("ascii string")
        << "wordLibNames" << BusValue("user.qlb;a.qlb");
    QTest::newRow("chinese string")
        << "wordLibNames" << BusValue("user.qlb;中文.qlb");
    QTest::newRow("latin-1 string") << "wordLibNames" << BusValue("café.qlb");
    QTest::newRow("empty string") << "wordLibNames" << BusValue(QString());
}

void TestConfigBus::valuesReachTheService()
{
    QFETCH(QString, name);
    QFETCH(BusValue, value);
    DebugCapture debug;
    if (value.isInt())
        m_bus->setValue_Int(name, value.toInt());
    else
        m_bus->setValue_String(name, value.toString());
    QCOMPARE(failuresIn(debug), 0);
    QCOMPARE(m_daemon.value(name), value);
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
    QCOMPARE(failuresIn(debug), writes);
    QVERIFY2(elapsed < 5500, qPrintable(QString::number(elapsed)));

    debug.clear();
    m_bus->setValue_Int(QStringLiteral("candidateCount"), 7);
    QCOMPARE(failuresIn(debug), 0);
    QCOMPARE(m_daemon.value(QStringLiteral("candidateCount")), BusValue(7));
}

// Each page's values reach the engine and the file in one Apply; with the
// daemon killed, the file is still written and each value says it failed,
// at once; a restarted daemon gets the next Apply.
void TestConfigBus::applyReachesTheEngineAndSurvivesItsDeath()
{
    const TemporaryHome home;
    const QString userDir = Config::wordLibDirPath(WordLibDirPathUser);
    for (const char *name : {"user.qlb", "sys.qlb", "成语.qlb"})
        QVERIFY(writeWordLib(userDir + name, QString::fromUtf8(name)));
    RecordingMainWidget container;
    auto *count = childOf<QComboBox>(container, "comboboxCandidateCount");
    auto *library = container.findChild<QTableWidget *>()->item(2, 0);
    count->setCurrentIndex(4);
    childOf<QAbstractButton>(container, "radioCiRateSlow")->setChecked(true);
    childOf<QAbstractButton>(container, "checkboxEnableBMode")
        ->setChecked(false);
    childOf<QComboBox>(container, "comboBoxCustomPhraseDisplayPos")
        ->setCurrentIndex(3);
    library->setCheckState(Qt::Checked);
    container.onButtonApplyClicked();
    const QString names = QStringLiteral("user.qlb;sys.qlb;成语.qlb");
    QCOMPARE(m_daemon.value(QStringLiteral("candidateCount")), BusValue(5));
    QCOMPARE(m_daemon.value(QStringLiteral("ciRate")), BusValue(2));
    QCOMPARE(m_daemon.value(QStringLiteral("enableBMode")), BusValue(0));
    QCOMPARE(m_daemon.value(QStringLiteral("customPhraseDisplayPos")),
             BusValue(3));
    QCOMPARE(m_daemon.value(QStringLiteral("wordLibNames")), BusValue(names));
    QVERIFY(!m_daemon.value(QStringLiteral("ziRate")).isValid()); // unchanged
    QCOMPARE(storedGroup(QStringLiteral("wordlib")),
             Settings({{"names", names}}));

    m_daemon.kill();
    count->setCurrentIndex(6);
    childOf<QAbstractButton>(container, "checkboxEnableIMode")
        ->setChecked(false);
    library->setCheckState(Qt::Unchecked);
    {
        DebugCapture debug;
        QElapsedTimer timer;
        timer.start();
        container.onButtonApplyClicked();
        // Nothing listens any more: no reason to wait.
        QVERIFY2(timer.elapsed() < 300,
                 qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(failuresIn(debug), 3);
    }
    QVERIFY(container.failures.isEmpty());
    QCOMPARE(storedGroup(QStringLiteral("basic")).value("candidatecount"), "7");
    QCOMPARE(storedGroup(QStringLiteral("special")).value("enableimode"), "0");
    QCOMPARE(storedGroup(QStringLiteral("wordlib")).value("names"),
             "user.qlb;sys.qlb");

    const QString why = m_daemon.restart();
    QVERIFY2(why.isEmpty(), qPrintable(why));
    // The client learns of the new daemon from the event loop.
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            DebugCapture debug;
            m_bus->setValue_Int(QStringLiteral("probe"), 1);
            return failuresIn(debug) == 0;
        }(),
        10000);
    count->setCurrentIndex(5);
    container.onButtonApplyClicked();
    QCOMPARE(m_daemon.value(QStringLiteral("candidateCount")), BusValue(6));
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
    // A write left unanswered is settled by uninit(), not by the next commit.
    m_bus->beginCommit();
    m_bus->setValue_Int(QStringLiteral("candidateCount"), 0);
    m_bus->uninit(); // so that init() starts from nothing
    int steps = 0;
    const auto step = [&](int sent) {
        // Seen stored, so answered: only the later values of the batch fail.
        while (steps == stopAfter && sent &&
               !(m_daemon.value("candidateCount") == BusValue(sent)))
            QTest::qSleep(5);
        if (steps++ == stopAfter)
            m_daemon.pause();
    };
    step(0);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(m_bus->init());
    const qint64 initMs = timer.elapsed();
    // Asked at once, as the window does: it waits for the connection.
    const bool reachable = m_bus->isReachable();
    QTest::qSleep(200); // the connection completes on a GLib worker thread
    step(0);
    DebugCapture debug;
    timer.restart();
    m_bus->beginCommit();
    for (int value = 1; value <= 4; ++value) {
        m_bus->setValue_Int(QStringLiteral("candidateCount"), value);
        step(value);
    }
    m_bus->settle();
    const qint64 commitMs = timer.elapsed();
    m_daemon.resume();
    QVERIFY2(initMs < 200, qPrintable(QString::number(initMs)));
    QCOMPARE(reachable, stopAfter > 0);
    // One step times out after 400 ms, the rest of the commit fails at once.
    QVERIFY2(commitMs < 800, qPrintable(QString::number(commitMs)));
    QStringList lines; // as if each value had waited for its reply
    for (int value = 1; value <= 4; ++value) {
        lines << "name:  \"candidateCount\" , value:  " + QString::number(value)
              << "candidateCount";
        if (value > 4 - failures)
            lines << "ibus set value failed!";
    }
    QCOMPARE(debug.lines(), lines);
    QVERIFY(!m_bus->commitDelivered());

    m_bus->beginCommit();
    m_bus->setValue_Int(QStringLiteral("candidateCount"), 9);
    m_bus->settle();
    QVERIFY(m_bus->commitDelivered());
    QCOMPARE(m_daemon.value(QStringLiteral("candidateCount")), BusValue(9));
}

void TestConfigBus::daemonStoppedWhileTheProxyIsMade()
{
    m_bus->uninit(); // so that the next write makes the proxy
    QVERIFY(m_bus->init());
    QVERIFY(m_bus->isReachable());
    IBusBus *bus = ibus_bus_new_async(); // the process's one, the tool's too
    GDBusConnection *connection = ibus_bus_get_connection(bus);
    const guint filter = g_dbus_connection_add_filter(connection, stopOnWatch,
                                                      &m_daemon, nullptr);
    DebugCapture debug;
    QElapsedTimer timer;
    timer.start();
    m_bus->beginCommit();
    m_bus->setValue_Int(QStringLiteral("candidateCount"), 3);
    m_bus->settle();
    const qint64 elapsed = timer.elapsed();
    g_dbus_connection_remove_filter(connection, filter);
    g_object_unref(bus);
    m_daemon.resume();
    QCOMPARE(failuresIn(debug), 1);
    QVERIFY2(elapsed < 800, qPrintable(QString::number(elapsed)));
}

void TestConfigBus::reachableAsSoonAsConnected()
{
    m_bus->uninit();
    QTest::qSleep(ConfigBusIBus::commitBudgetMs); // no commit's time left
    QVERIFY(m_bus->init());
    QVERIFY(m_bus->isReachable());
}

QTEST_MAIN(TestConfigBus)
#include "tst_configbus.moc"
