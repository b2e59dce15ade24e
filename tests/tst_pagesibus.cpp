// SPDX-License-Identifier: GPL-2.0-or-later
// What the basic and special pages' apply() leaves in a real IBus
// configuration service.
#include "pages/TabWidgetBasic.h"
#include "pages/TabWidgetSpecial.h"
#include "support/IBusDaemon.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QtTest>

class TestPagesIBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void appliedValuesReachTheEngine();

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

QTEST_MAIN(TestPagesIBus)
#include "tst_pagesibus.moc"
