// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Launch.h"

#include "BuildConfig.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QX11Info>

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
// Written by the signal handler, read by the event loop.
int s_signalPipe[2] = {-1, -1};

void forwardSignal(int)
{
    const char byte = 1;
    // Nothing else is async-signal-safe here; a full pipe already wakes us.
    [[maybe_unused]] const ssize_t written = write(s_signalPipe[0], &byte, 1);
}
} // namespace

bool isLaunchCommandLine(int argc, const char *const *argv)
{
    // Whole-string equality: neither a prefix nor a longer text passes.
    return argc == 2 && std::strcmp(argv[1], QUILMO_LAUNCH_TOKEN) == 0;
}

void preparePlatform()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    // Above a file-size limit, writes fail (and are reported) instead of
    // the signal killing the tool in the middle of a save.
    std::signal(SIGXFSZ, SIG_IGN);
    // Loading the GL driver costs tens of milliseconds and of MiB at start.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

QByteArray takeStartupId()
{
    const QByteArray startupId = qgetenv("DESKTOP_STARTUP_ID");
    qunsetenv("DESKTOP_STARTUP_ID");
    return startupId;
}

void handStartupIdToWindows(const QByteArray &startupId)
{
    if (!startupId.isEmpty() && QX11Info::isPlatformX11())
        QX11Info::setNextStartupId(startupId);
}

QString singleInstanceKey()
{
    return QStringLiteral("quilmo_config_tools_%1").arg(getuid(), 0, 10);
}

void quitEventLoopOnTerminationSignals()
{
    // Non-blocking: a flood of signals fills the pair, and a handler that
    // waited for room would never return to the loop that empties it.
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0,
                   s_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(s_signalPipe[1], QSocketNotifier::Read,
                                         QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte;
        [[maybe_unused]] const ssize_t bytes = read(s_signalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}
