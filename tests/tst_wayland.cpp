// SPDX-License-Identifier: GPL-2.0-or-later
// The real tool through its launcher on Qt's Wayland platform, under a
// Weston that leaves the title bar to its clients, on an X server of its
// own so that a pointer can click: the window maps at its size with the app
// id of its desktop entry, and the close button of its title bar ends it.
#include "support/TestSupport.h"
#include "support/VirtualScreen.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
const QString socket = QStringLiteral("quilmo-test");
const int waitMs = 20000;
// A plain background and no panel, so that the window is all that differs
// from it; no animation, so that it shows at once.
const QRgb background = 0xff204060;
const char westonIni[] = "[shell]\nbackground-color=0xff204060\n"
                         "panel-position=none\nanimation=none\n"
                         "startup-animation=none\n";
// Above the X pointer, which starts in the middle of the X screen: Weston
// follows the pointer only from its first entry into Weston's window.
const QSize output(1024, 500);
// Weston draws the X pointer: a cursor at most this wide and high.
const int cursorSize = 64;
// 600 x 400 in a 3-pixel frame under a 30-pixel title bar.
const QSize framedSize(606, 433);
const int frame = 3;
const int titleBar = 30;

/// The rectangle spanned by the rows and the columns that hold more pixels
/// unlike the background than a cursor could.
QRect drawnArea(const QImage &screen)
{
    QVector<int> inRow(screen.height());
    QVector<int> inColumn(screen.width());
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const bool drawn = screen.pixel(x, y) != background;
            inRow[y] += drawn;
            inColumn[x] += drawn;
        }
    }
    auto span = [](const QVector<int> &counts) {
        int first = 0;
        while (first < counts.size() && counts[first] <= cursorSize)
            ++first;
        int last = counts.size() - 1;
        while (last > first && counts[last] <= cursorSize)
            --last;
        return qMakePair(first, last);
    };
    const auto rows = span(inRow);
    const auto columns = span(inColumn);
    return QRect(QPoint(columns.first, rows.first),
                 QPoint(columns.second, rows.second));
}

/// The centre of the right-most button in @p window's title bar: the last
/// run of columns with anything drawn on the bar's colour.
QPoint closeButton(const QImage &window)
{
    const QRgb bar = window.pixel(window.width() / 2, frame);
    auto drawn = [&](int x) {
        for (int y = frame; y < titleBar; ++y)
            if (window.pixel(x, y) != bar)
                return true;
        return false;
    };
    int right = window.width() - frame - 1;
    while (right > 0 && !drawn(right))
        --right;
    int left = right;
    while (left > 0 && drawn(left - 1))
        --left;
    return QPoint((left + right) / 2, titleBar / 2);
}

/// The tool's standard error without libwayland's protocol trace, whose
/// lines begin with a time stamp: "[1234567.890]  -> wl_surface@3...".
QByteArray withoutTrace(const QByteArray &errors, QByteArray *trace)
{
    static const QRegularExpression traceLine(QStringLiteral("^\\[ *\\d+\\."));
    QByteArray own;
    for (const QByteArray &line : errors.split('\n')) {
        QByteArray &part =
            QString::fromUtf8(line).contains(traceLine) ? *trace : own;
        part += line + '\n';
    }
    return own;
}
} // namespace

class TestWayland : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void mapsAtItsSizeWithItsAppIdAndClosesFromItsTitleBar();

private:
    /// Weston's whole output; a null image on failure.
    QImage screenshot();
    /// Clicks the X pointer's first button at @p point.
    void click(const QPoint &point);

    VirtualScreen m_screen;
    QTemporaryDir m_runtimeDir; // Weston's XDG_RUNTIME_DIR, with its socket
    QProcessEnvironment m_env;
    QProcess m_weston;
};

void TestWayland::initTestCase()
{
    for (const char *program : {"weston", "weston-screenshooter", "xdotool"})
        QUILMO_REQUIRE_SERVICE(whyNotInstalled(QLatin1String(program)));
    QUILMO_REQUIRE_SERVICE(m_screen.start());
    QFile config(m_runtimeDir.filePath(QStringLiteral("weston.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(westonIni);
    config.close();
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("DISPLAY"),
                 QString::fromLatin1(m_screen.display()));
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir.path());
    m_env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    m_weston.setProcessEnvironment(m_env);
    m_weston.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The pixman renderer draws what the screenshots show; --debug lets
    // any client take them.
    m_weston.start(QStringLiteral("weston"),
                   {QStringLiteral("--backend=x11-backend.so"),
                    QStringLiteral("--use-pixman"), QStringLiteral("--debug"),
                    QStringLiteral("--width=%1").arg(output.width()),
                    QStringLiteral("--height=%1").arg(output.height()),
                    QStringLiteral("--socket=") + socket,
                    QStringLiteral("--config=") + config.fileName()});
    const bool listening = QTest::qWaitFor(
        [this] { return QFile::exists(m_runtimeDir.filePath(socket)); },
        waitMs);
    QUILMO_REQUIRE_SERVICE(listening ? QString()
                                     : QStringLiteral("weston did not start"));
}

void TestWayland::cleanupTestCase()
{
    m_weston.terminate();
    m_weston.waitForFinished(waitMs);
}

QImage TestWayland::screenshot()
{
    // It saves wayland-screenshot-<time>.png in its working directory.
    QTemporaryDir shots;
    QProcess shooter;
    shooter.setProcessEnvironment(m_env);
    shooter.setWorkingDirectory(shots.path());
    shooter.start(QStringLiteral("weston-screenshooter"), QStringList());
    shooter.waitForFinished(waitMs);
    const QStringList files = QDir(shots.path()).entryList(QDir::Files);
    return QImage(shots.filePath(files.value(0)))
        .convertToFormat(QImage::Format_RGB32);
}

void TestWayland::click(const QPoint &point)
{
    QProcess xdotool;
    xdotool.setProcessEnvironment(m_env);
    xdotool.setProcessChannelMode(QProcess::ForwardedChannels);
    xdotool.start("xdotool", {"mousemove", QString::number(point.x()),
                              QString::number(point.y()), "click", "1"});
    QVERIFY(xdotool.waitForFinished(waitMs));
    QCOMPARE(xdotool.exitCode(), 0);
}

void TestWayland::mapsAtItsSizeWithItsAppIdAndClosesFromItsTitleBar()
{
    QTemporaryDir home;
    QProcessEnvironment env = m_env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    env.remove(QStringLiteral("QT_WAYLAND_DECORATION"));
    env.remove(QStringLiteral("DISPLAY"));
    // A runtime directory of its own, as for every copy a test starts: the
    // per-user lock lives there. Weston's socket by its full path.
    env.insert(QStringLiteral("WAYLAND_DISPLAY"),
               m_runtimeDir.filePath(socket));
    for (const char *name : {"HOME", "TMPDIR", "XDG_RUNTIME_DIR"})
        env.insert(QLatin1String(name), home.path());
    // The client's side of the protocol, on its standard error, into a file:
    // a pipe that the test drains only now and then would stall the tool.
    env.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("client"));
    const QString errorsFile = home.filePath(QStringLiteral("stderr"));
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.setStandardErrorFile(errorsFile);
    tool.start(QStringLiteral(QUILMO_LAUNCHER), QStringList());
    QByteArray trace;
    auto toolErrors = [&] {
        trace.clear();
        return withoutTrace(readFile(errorsFile), &trace);
    };

    QImage screen;
    QRect window;
    const bool mapped = QTest::qWaitFor(
        [&] {
            screen = screenshot();
            window = drawnArea(screen);
            return window.size() == framedSize;
        },
        waitMs);
    QDir().mkpath(QStringLiteral(QUILMO_SCREENSHOT_DIR));
    screen.save(QStringLiteral(QUILMO_SCREENSHOT_DIR "/wayland.png"));
    QVERIFY2(mapped, qPrintable(QStringLiteral("drawn: %1 x %2\n")
                                    .arg(window.width())
                                    .arg(window.height()) +
                                toolErrors()));

    click(window.topLeft() + closeButton(screen.copy(window)));
    const bool ended = QTest::qWaitFor(
        [&] { return tool.state() == QProcess::NotRunning; }, waitMs);
    QVERIFY2(ended && tool.exitStatus() == QProcess::NormalExit &&
                 tool.exitCode() == 0,
             toolErrors().constData());
    QVERIFY2(trace.contains("set_app_id(\"quilmo-config\")"),
             trace.right(2000).constData());
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
