// SPDX-License-Identifier: GPL-2.0-or-later
// What the basic and special pages' apply() leaves in a real IBus
// configuration service, and an Apply while the daemon is dead.
#include "app/MainWidget.h"
#include "config/Config.h"
#include "pages/TabWidgetBasic.h"
#include "pages/TabWidgetSpecial.h"
#include "support/IBusDaemon.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSettings>
#include <QtTest>

class TestPagesIBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void appliedValuesReachTheEngine();
    void applyWithDeadDaemonStillSaves();

private:
    IBusDaemon m_daemon;
};

void TestPagesIBus::initTestCase()
{
    const QString why = m_daemon.start();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(ConfigBus::instance()->init());
}

void TestPagesIBus::appliedValuesReachTheEngine()
{
    TemporaryHome home;
    TabWidgetBasic basic(nullptr);
    TabWidgetSpecial special(nullptr);
    basic.findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"))
        ->setCurrentIndex(4);
    basic.findChild<QAbstractButton *>(QStringLiteral("radioCiRateSlow"))
        ->setChecked(true);
    special.findChild<QAbstractButton *>(QStringLiteral("checkboxEnableBMode"))
        ->setChecked(false);
    special
        .findChild<QComboBox *>(
            QStringLiteral("comboBoxCustomPhraseDisplayPos"))
        ->setCurrentIndex(3);
    basic.apply();
    special.apply();

    QCOMPARE(m_daemon.value(QStringLiteral("candidateCount")), QVariant(5));
    QCOMPARE(m_daemon.value(QStringLiteral("ciRate")), QVariant(2));
    QCOMPARE(m_daemon.value(QStringLiteral("enableBMode")), QVariant(0));
    QCOMPARE(m_daemon.value(QStringLiteral("customPhraseDisplayPos")),
             QVariant(3));
    QVERIFY(!m_daemon.value(QStringLiteral("ziRate")).isValid()); // unchanged
}

void TestPagesIBus::applyWithDeadDaemonStillSaves()
{
    TemporaryHome home;
    MainWidget widget;
    auto *count =
        widget.findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"));
    auto *imode = widget.findChild<QAbstractButton *>(
        QStringLiteral("checkboxEnableIMode"));
    m_daemon.kill();
    count->setCurrentIndex(2);
    imode->setChecked(false);
    {
        DebugCapture debug;
        widget.onButtonApplyClicked();
        QCOMPARE(debug.lines().count(QStringLiteral("ibus set value failed!")),
                 2);
    }
    const QSettings file(Config::configFilePath(), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("basic/candidatecount")).toString(),
             QStringLiteral("3"));
    QCOMPARE(file.value(QStringLiteral("special/enableimode")).toString(),
             QStringLiteral("0"));

    const QString why = m_daemon.restart();
    QVERIFY2(why.isEmpty(), qPrintable(why));
    // The tool's bus notices the new daemon from the event loop.
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            ConfigBus::instance()->setValue_Int(QStringLiteral("probe"), 1);
            return m_daemon.value(QStringLiteral("probe")).isValid();
        }(),
        10000);
    count->setCurrentIndex(5);
    widget.onButtonApplyClicked();
    QCOMPARE(m_daemon.value(QStringLiteral("candidateCount")), QVariant(6));
}

QTEST_MAIN(TestPagesIBus)
#include "tst_pagesibus.moc"
