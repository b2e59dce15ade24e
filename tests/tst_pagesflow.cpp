// SPDX-License-Identifier: GPL-2.0-or-later
// A candidate count committed through the container's buttons: the basic
// page sends and stores it, and the special page's position list follows.
#include "app/MainWidget.h"
#include "config/Config.h"
#include "pages/TabWidgetSpecial.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

namespace
{
QVariant stored(const QString &key)
{
    return QSettings(Config::configFilePath(), QSettings::IniFormat).value(key);
}

void clickButton(QWidget *container, const QString &text)
{
    const auto buttons = container->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (button->text() == text)
            return QTest::mouseClick(button, Qt::LeftButton);
    }
    QFAIL(qPrintable(text));
}
} // namespace

class TestPagesFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void candidateCountCommitted_data();
    void candidateCountCommitted();
};

void TestPagesFlow::candidateCountCommitted_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("countIndex");
    QTest::addColumn<int>("chosen"); // -1: position 7 comes from the file
    QTest::addColumn<BusCalls>("calls");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("index");
    QTest::addColumn<QVariant>("storedWhenBroadcast");
    QTest::addColumn<QVariant>("storedAfter");
    const QString apply = QStringLiteral("应用");
    QTest::newRow("apply 5, stored 7")
        << apply << 4 << -1
        << BusCalls{{"candidateCount", 5}, {"customPhraseDisplayPos", 4}} << 5
        << 4 << QVariant("4") << QVariant("4");
    // The special page's own apply() sends the moved position once more.
    QTest::newRow("apply 5, chosen 7")
        << apply << 4 << 6
        << BusCalls{{"candidateCount", 5},
                    {"customPhraseDisplayPos", 4},
                    {"customPhraseDisplayPos", 4}}
        << 5 << 4 << QVariant("4") << QVariant("4");
    // OK stores and sends what Apply would.
    QTest::newRow("ok 5") << QStringLiteral("确定") << 4 << -1
                          << BusCalls{{"candidateCount", 5},
                                      {"customPhraseDisplayPos", 4}}
                          << 5 << 4 << QVariant("4") << QVariant("4");
    QTest::newRow("apply 9")
        << apply << 8 << -1 << BusCalls{{"candidateCount", 9}} << 9 << 6
        << QVariant("6") << QVariant("6");
}

void TestPagesFlow::candidateCountCommitted()
{
    QFETCH(QString, button);
    QFETCH(int, countIndex);
    QFETCH(int, chosen);
    QFETCH(BusCalls, calls);
    QFETCH(int, items);
    QFETCH(int, index);
    QFETCH(QVariant, storedWhenBroadcast);
    QFETCH(QVariant, storedAfter);
    const QString positionKey =
        QStringLiteral("special/customphrasedisplaypos");
    TemporaryHome home;
    if (chosen < 0)
        home.writeSettings("[special]\ncustomphrasedisplaypos=6\n");
    RecordingConfigBus bus;
    MainWidget container;
    container.show();
    auto *positions = container.findChild<QComboBox *>(
        QStringLiteral("comboBoxCustomPhraseDisplayPos"));
    if (chosen >= 0)
        positions->setCurrentIndex(chosen);
    container.findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"))
        ->setCurrentIndex(countIndex);

    // Connected after the special page: runs once that page has reacted to
    // the basic page's result, before the special page's own apply().
    QVariant whenBroadcast;
    connect(&container, &MainWidget::settingChanged, this,
            [&](const QMap<QString, QString> &settings) {
                if (settings.contains(QStringLiteral("candidatecount")))
                    whenBroadcast = stored(positionKey);
            });
    clickButton(&container, button);

    QCOMPARE(bus.calls, calls);
    QCOMPARE(stored(QStringLiteral("basic/candidatecount")),
             QVariant(QString::number(countIndex + 1)));
    QCOMPARE(positions->count(), items);
    QCOMPARE(positions->currentIndex(), index);
    QCOMPARE(whenBroadcast, storedWhenBroadcast);
    QCOMPARE(stored(positionKey), storedAfter);
}

QTEST_MAIN(TestPagesFlow)
#include "tst_pagesflow.moc"
