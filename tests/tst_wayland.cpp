// SPDX-License-Identifier: GPL-2.0-or-later
// The real tool through its launcher on Qt's Wayland platform, under a
// headless Weston that leaves the title bar to its clients: the window maps
// at its size with the app id of its desktop entry, and its title bar
// offers no maximize.
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
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
// 600 x 400 in a 3-pixel frame under a 30-pixel title bar.
const QSize framedSize(606, 433);
const int frame = 3;
const int titleBar = 30;

/// The smallest rectangle around every pixel unlike the background.
QRect drawnArea(const QImage &screen)
{
    QRect area;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            if (screen.pixel(x, y) != background)
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

/// The buttons in the right quarter of @p window's title bar, right of its
/// centred title: runs of columns with anything drawn on the bar's colour.
int titleBarButtons(const QImage &window)
{
    const QRgb bar = window.pixel(window.width() / 2, frame);
    int buttons = 0;
    bool inButton = false;
    for (int x = window.width() * 3 / 4; x < window.width() - frame; ++x) {
        bool drawn = false;
        for (int y = frame; y < titleBar; ++y)
            drawn = drawn || window.pixel(x, y) != bar;
        buttons += drawn && !inButton;
        inButton = drawn;
    }
    return buttons;
}
} // namespace

class TestWayland : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void mapsAtItsSizeWithItsAppIdAndNoMaximize();

private:
    /// Weston's whole output; a null image on failure.
    QImage screenshot();

    QTemporaryDir m_runtimeDir; // XDG_RUNTIME_DIR, for Weston's socket
    QProcessEnvironment m_env;
    QProcess m_weston;
};

void TestWayland::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty())
        QSKIP("weston is not installed");
    QFile config(m_runtimeDir.filePath(QStringLiteral("weston.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(westonIni);
    config.close();
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.remove(QStringLiteral("DISPLAY"));
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir.path());
    m_env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    m_weston.setProcessEnvironment(m_env);
    m_weston.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The pixman renderer draws what the screenshots show; --debug lets
    // any client take them.
    m_weston.start(QStringLiteral("weston"),
                   {QStringLiteral("--backend=headless-backend.so"),
                    QStringLiteral("--use-pixman"), QStringLiteral("--debug"),
                    QStringLiteral("--width=1024"),
                    QStringLiteral("--height=768"),
                    QStringLiteral("--socket=") + socket,
                    QStringLiteral("--config=") + config.fileName()});
    QVERIFY(QTest::qWaitFor(
        [this] { return QFile::exists(m_runtimeDir.filePath(socket)); },
        waitMs));
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

void TestWayland::mapsAtItsSizeWithItsAppIdAndNoMaximize()
{
    QTemporaryDir home;
    QProcessEnvironment env = m_env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    env.remove(QStringLiteral("QT_WAYLAND_DECORATION"));
    // The client's side of the protocol, on its standard error.
    env.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("client"));
    for (const char *name : {"HOME", "TMPDIR"})
        env.insert(QLatin1String(name), home.path());
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(QUILMO_LAUNCHER), QStringList());

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
    QVERIFY2(mapped, qPrintable(QStringLiteral("drawn: %1 x %2")
                                    .arg(window.width())
                                    .arg(window.height())));
    QCOMPARE(titleBarButtons(screen.copy(window)), 1); // close alone

    tool.terminate();
    QVERIFY(tool.waitForFinished(waitMs));
    const QByteArray errors = tool.readAllStandardError();
    QVERIFY2(tool.exitCode() == 0, errors.right(4000).constData());
    QVERIFY(errors.contains("set_app_id(\"quilmo-config\")"));
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
