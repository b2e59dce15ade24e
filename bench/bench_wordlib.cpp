// SPDX-License-Identifier: GPL-2.0-or-later
// How the word-library page scales with the libraries it lists.
//
// 1. Time: building the page over N libraries of 8 MiB each (sparse files
//    in a temporary HOME) against a bare loop that opens each of them and
//    reads its first 72 bytes, alternating, in the same process.
// 2. Memory: the peak RSS of a process that builds the page over those
//    libraries against one that builds it over N files of 72 bytes. Peak
//    RSS only grows, so each build runs in a child process of its own.
// 3. Scaling with the selection: building the page over 20,000 libraries
//    that are all active against 20,000 that are not.
//
// Usage: bench_wordlib [libraries [repetitions]]    (2000 and 5 by default)
// The page's debug lines are discarded; it prints figures, asserts nothing.
#include "config/Config.h"
#include "pages/TabWidgetWordLib.h"
#include "pages/WordLibFile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

namespace
{
const char *const peakRssArgument = "--peak-rss";
const qint64 largeLibrarySize = qint64(8) << 20;
using WordLibLayout::headerSize;
const int memoryRuns = 3;
const int selectionLibraries = 20000;

void discardMessage(QtMsgType, const QMessageLogContext &, const QString &) {}

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

template <typename T> T median(QVector<T> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "bench_wordlib: %s\n", qPrintable(what));
    std::exit(1);
}

QByteArray sampleHeader()
{
    QFile sample(QStringLiteral(QUILMO_SAMPLE_WORDLIB));
    if (!sample.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read ") + sample.fileName());
    return sample.read(headerSize);
}

/// A HOME below @p root whose per-user word-library directory holds
/// @p count libraries of @p size bytes (sparse after the header).
QString makeHome(const QString &root, const QString &name, int count,
                 qint64 size)
{
    const QByteArray header = sampleHeader();
    const QString home = root + QLatin1Char('/') + name;
    const QString dir = home + QStringLiteral("/.config/quilmo/wordlib/");
    if (!QDir().mkpath(dir))
        fail(QStringLiteral("cannot create ") + dir);
    for (int i = 0; i < count; ++i) {
        QFile file(dir + QStringLiteral("lib%1.qlb").arg(i, 5, 10, QChar('0')));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(header) != header.size() || !file.resize(size))
            fail(QStringLiteral("cannot write ") + file.fileName());
    }
    return home;
}

/// Makes every library of the per-user directory of @p home active.
void activateAll(const QString &home)
{
    const QString dir = home + QStringLiteral("/.config/quilmo/");
    QStringList names =
        QDir(dir + QStringLiteral("wordlib")).entryList(QDir::Files);
    QFile file(dir + QStringLiteral("config_ibus.ini"));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("[wordlib]\nnames=" + names.join(QLatin1Char(';')).toUtf8() +
                   "\n") < 0)
        fail(QStringLiteral("cannot write ") + file.fileName());
}

qint64 bareLoopNs(const QStringList &paths)
{
    QElapsedTimer timer;
    timer.start();
    char header[headerSize];
    for (const QString &path : paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            file.read(header, headerSize);
    }
    return timer.nsecsElapsed();
}

qint64 buildPageNs()
{
    QElapsedTimer timer;
    timer.start();
    const TabWidgetWordLib page(nullptr);
    return timer.nsecsElapsed(); // before the page is destroyed
}

/// In a child: builds the page once for HOME @p home, prints peak RSS.
int printPeakRssOfPage(int argc, char **argv, const char *home)
{
    qputenv("HOME", home);
    QApplication app(argc, argv);
    qInstallMessageHandler(discardMessage);
    const TabWidgetWordLib page(nullptr);
    std::printf("%ld\n", peakRssKiB());
    return 0;
}

long childPeakRssKiB(const QString &home)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QLatin1String(peakRssArgument), home});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        fail(QStringLiteral("the child process failed"));
    return child.readAllStandardOutput().trimmed().toLong();
}

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

qint64 buildPageNsIn(const QString &home)
{
    qputenv("HOME", home.toUtf8());
    return buildPageNs();
}

/// Resets a page over @p home, which unticks every library but two.
qint64 resetPageNs(const QString &home)
{
    qputenv("HOME", home.toUtf8());
    TabWidgetWordLib page(nullptr);
    QElapsedTimer timer;
    timer.start();
    page.reset();
    return timer.nsecsElapsed();
}

void compareSelections(const QString &root, int repetitions)
{
    const QString ticked = makeHome(root, QStringLiteral("ticked"),
                                    selectionLibraries, headerSize);
    const QString unticked = makeHome(root, QStringLiteral("unticked"),
                                      selectionLibraries, headerSize);
    activateAll(ticked);
    QVector<qint64> tickedNs;
    QVector<qint64> untickedNs;
    for (int run = 0; run < repetitions; ++run) {
        tickedNs << buildPageNsIn(ticked);
        untickedNs << buildPageNsIn(unticked);
    }
    std::printf("%d libraries, all active: %.1f ms; none active: %.1f ms "
                "(medians of %d); ratio %.2f\n",
                selectionLibraries, ms(median(tickedNs)),
                ms(median(untickedNs)), repetitions,
                double(median(tickedNs)) / median(untickedNs));
    std::printf("resetting the page with all %d active: %.1f ms\n",
                selectionLibraries, ms(resetPageNs(ticked)));
}
} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], peakRssArgument) == 0)
        return printPeakRssOfPage(argc, argv, argv[2]);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 5;
    if (count <= 0 || repetitions <= 0)
        fail(QStringLiteral("usage: bench_wordlib [libraries [repetitions]]"));

    QTemporaryDir root;
    const QString largeHome =
        makeHome(root.path(), QStringLiteral("large"), count, largeLibrarySize);
    const QString smallHome =
        makeHome(root.path(), QStringLiteral("small"), count, headerSize);
    qputenv("HOME", largeHome.toUtf8());
    QApplication app(argc, argv);
    qInstallMessageHandler(discardMessage);

    const QString userDir = Config::wordLibDirPath(WordLibDirPathUser);
    QStringList paths;
    for (const QFileInfo &entry : QDir(userDir).entryInfoList(QDir::Files))
        paths << entry.absoluteFilePath();
    const QString systemDir = Config::wordLibDirPath(WordLibDirPathSystem);
    std::printf("%d libraries of %lld MiB (sparse) in %s\n"
                "system directory %s: %d entries\n",
                count, largeLibrarySize >> 20, qPrintable(userDir),
                qPrintable(systemDir),
                int(QDir(systemDir)
                        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                        .size()));

    bareLoopNs(paths); // warm the caches for both
    buildPageNs();
    QVector<qint64> bare;
    QVector<qint64> page;
    std::printf("%-6s %14s %14s %8s\n", "run", "bare loop ms", "page ms",
                "ratio");
    for (int run = 1; run <= repetitions; ++run) {
        bare << bareLoopNs(paths);
        page << buildPageNs();
        std::printf("%-6d %14.2f %14.2f %8.2f\n", run, ms(bare.last()),
                    ms(page.last()), double(page.last()) / bare.last());
    }
    std::printf("%-6s %14.2f %14.2f %8.2f\n", "median", ms(median(bare)),
                ms(median(page)), double(median(page)) / median(bare));

    QVector<long> large;
    QVector<long> small;
    for (int run = 0; run < memoryRuns; ++run) {
        large << childPeakRssKiB(largeHome);
        small << childPeakRssKiB(smallHome);
    }
    const long largeKiB = median(large);
    const long smallKiB = median(small);
    std::printf("peak RSS building the page (median of %d processes):\n"
                "  %d libraries of 8 MiB: %ld KiB\n"
                "  %d files of 72 bytes:  %ld KiB\n"
                "  difference: %+.2f%%\n",
                memoryRuns, count, largeKiB, count, smallKiB,
                100.0 * double(largeKiB - smallKiB) / double(smallKiB));
    compareSelections(root.path(), repetitions);
    return 0;
}
