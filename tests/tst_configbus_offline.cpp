// SPDX-License-Identifier: GPL-2.0-or-later
// ConfigBusIBus with no IBus daemon: start-up goes on, writes fail loudly.
#include "config/ConfigBusIBus.h"
#include "support/TestSupport.h"

#include <QtTest>

class TestConfigBusOffline : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void initSucceedsWithoutDaemon();
    void eachWriteReportsOneFailure();

private:
    QTemporaryDir m_dir;
};

void TestConfigBusOffline::initTestCase()
{
    // An address where nothing listens, before libibus first reads it.
    qputenv("IBUS_ADDRESS",
            "unix:path=" + m_dir.filePath(QStringLiteral("none")).toUtf8());
}

void TestConfigBusOffline::initSucceedsWithoutDaemon()
{
    QVERIFY(ConfigBus::instance()->init());
}

void TestConfigBusOffline::eachWriteReportsOneFailure()
{
    const QString failure = QStringLiteral("ibus set value failed!");
    DebugCapture debug;
    ConfigBus::instance()->setValue_Int(QStringLiteral("candidateCount"), 5);
    QCOMPARE(
        debug.lines(),
        QStringList({QStringLiteral("name:  \"candidateCount\" , value:  5"),
                     QStringLiteral("candidateCount"), failure}));
    debug.clear();
    ConfigBus::instance()->setValue_String(QStringLiteral("wordLibNames"),
                                           QStringLiteral("中文.qlb"));
    QCOMPARE(debug.lines(), QStringList({failure}));
}

QTEST_GUILESS_MAIN(TestConfigBusOffline)
#include "tst_configbus_offline.moc"
