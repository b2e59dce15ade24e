// SPDX-License-Identifier: GPL-2.0-or-later
// The cost of one Apply with every setting of the three pages changed,
// against a private IBus daemon, compared with the same number of bare
// ibus_config_set_value calls in the same run. Prints figures only.
#include "app/MainWidget.h"
#include "config/Config.h"
#include "config/ConfigBus.h"
#include "config/SettingsFile.h"
#include "support/IBusDaemon.h"
#include "support/TestSupport.h"
#include "support/WordLibBuilder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTableWidget>

#include <ibus.h>

#include <algorithm>
#include <cstdio>

namespace
{
/// Bus writes one Apply of every setting makes: basic 4, word-library 1,
/// special 5.
const int writesPerApply = 10;

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

/// Flips every setting of the basic, word-library and special pages; two
/// flips bring everything back, so each call leaves ten pending values.
void changeEverySetting(MainWidget &widget, bool flipped)
{
    for (QCheckBox *box : widget.findChildren<QCheckBox *>())
        box->setChecked(!box->isChecked());
    // A count of 8 or 9 keeps position 3 selected: no extra rebuild write.
    widget.findChild<QComboBox *>(QStringLiteral("comboboxCandidateCount"))
        ->setCurrentIndex(flipped ? 7 : 8);
    widget
        .findChild<QComboBox *>(
            QStringLiteral("comboBoxCustomPhraseDisplayPos"))
        ->setCurrentIndex(flipped ? 2 : 3);
    for (const char *group : {"buttonGroupZiRate", "buttonGroupCiRate"})
        widget.findChild<QButtonGroup *>(QLatin1String(group))
            ->button(flipped ? 1 : 2)
            ->setChecked(true);
    QTableWidgetItem *library = widget.findChild<QTableWidget *>()->item(2, 0);
    library->setCheckState(flipped ? Qt::Unchecked : Qt::Checked);
}

IBusConfig *bareConfig()
{
    IBusBus *bus = ibus_bus_new();
    return ibus_config_new(ibus_bus_get_connection(bus), nullptr, nullptr);
}

double bareWrites(IBusConfig *config, int round)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < writesPerApply; ++i)
        ibus_config_set_value(config, "engine/quilmo", "benchValue",
                              g_variant_new_int32(round * 100 + i));
    return timer.nsecsElapsed() / 1e6;
}

/// One durable replace of the settings file with a single changed value: the
/// part of an Apply that the disk decides.
double fileWrite(int round)
{
    QElapsedTimer timer;
    timer.start();
    SettingsFile::write(
        {{QStringLiteral("bench"),
          {{QStringLiteral("value"), QString::number(round)}}}});
    return timer.nsecsElapsed() / 1e6;
}

double applyOnce(MainWidget &widget, int round)
{
    changeEverySetting(widget, round % 2 == 1);
    QElapsedTimer timer;
    timer.start();
    widget.onButtonApplyClicked();
    return timer.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    // The window is never shown: no display needed.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 51;
    TemporaryHome home;
    IBusDaemon daemon;
    const QString why = daemon.start();
    if (!why.isEmpty()) {
        std::printf("no IBus daemon: %s\n", qPrintable(why));
        return 1;
    }
    ConfigBus::instance()->init();
    for (const char *name : {"user.qlb", "sys.qlb", "a.qlb"})
        writeWordLib(Config::wordLibDirPath(WordLibDirPathUser) +
                         QLatin1String(name),
                     QString::fromLatin1(name));

    MainWidget widget;
    qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &) {});
    // The first Apply connects the tool's bus, which the bare proxy shares.
    applyOnce(widget, 1); // round 0 then changes everything back
    IBusConfig *config = bareConfig();
    QVector<double> applyMs, bareMs, fileMs;
    for (int round = 0; round < rounds; ++round) {
        applyMs.append(applyOnce(widget, round));
        bareMs.append(bareWrites(config, round));
        fileMs.append(fileWrite(round));
    }
    const double apply = median(applyMs), bare = median(bareMs),
                 file = median(fileMs);
    std::printf("Apply of %d values (pages + settings file), median of %d: "
                "%.3f ms\n",
                writesPerApply, rounds, apply);
    std::printf("%d bare ibus_config_set_value calls, median of %d: %.3f ms\n",
                writesPerApply, rounds, bare);
    std::printf("ratio: %.2f\n", apply / bare);
    std::printf("one settings-file write alone, median of %d: %.3f ms; "
                "Apply / (bare calls + that write): %.2f\n",
                rounds, file, apply / (bare + file));
    return 0;
}
