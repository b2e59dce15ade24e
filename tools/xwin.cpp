// SPDX-License-Identifier: GPL-2.0-or-later
// xwin: drives one program's top-level window on an X server without a
// window manager, for the headless run and the start-up benchmark.
#include "XClient.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
const int waitMs = 30000;

const char usage[] =
    "usage: xwin launch TITLE COMMAND [ARG...]\n"
    "         start COMMAND, print the id of its window TITLE once it is\n"
    "         mapped and drawn, and end with COMMAND's exit status\n"
    "       xwin time TITLE COMMAND [ARG...]\n"
    "         start COMMAND, close its window TITLE once drawn, print\n"
    "         map_ms (exec to MapNotify), peak_rss_kib and status\n"
    "       xwin next-tab WINDOW    press Ctrl+Tab, wait for the repaint\n"
    "       xwin shot WINDOW FILE   save the window as a PNG image\n"
    "       xwin close WINDOW       send WM_DELETE_WINDOW, wait until gone\n";

struct Child {
    pid_t pid;
    int pidfd; // readable once the child has ended
};

// The child's standard output goes to our standard error, so that what we
// print stays machine-readable.
Child start(char **argv)
{
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(argv[0], argv);
        _exit(127);
    }
    return {pid, int(syscall(SYS_pidfd_open, pid, 0))};
}

// The shell's convention: the exit code, or 128 + the signal that ended it.
int exitStatus(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// CLOCK_MONOTONIC, to the microsecond.
double millisecondsNow()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

int launch(XClient &x, const QString &title, char **argv)
{
    const Child child = start(argv);
    const xcb_window_t window = x.waitForMap(title, waitMs, child.pidfd);
    const bool drawn = window && x.waitForPaint(window, waitMs);
    if (!drawn) {
        std::fprintf(stderr, "xwin: no window \"%s\" was drawn\n",
                     qPrintable(title));
        kill(child.pid, SIGTERM);
    } else {
        std::printf("0x%x\n", window);
        std::fflush(stdout);
    }
    int status = 0;
    waitpid(child.pid, &status, 0);
    return drawn ? exitStatus(status) : 1;
}

int timeToWindow(XClient &x, const QString &title, char **argv)
{
    const double started = millisecondsNow();
    const Child child = start(argv);
    const xcb_window_t window = x.waitForMap(title, waitMs, child.pidfd);
    const double mapMs = millisecondsNow() - started;
    // Closing before the first paint would spare the run its drawing.
    if (window && x.waitForPaint(window, waitMs))
        x.close(window);
    else
        kill(child.pid, SIGKILL);
    pollfd ended = {child.pidfd, POLLIN, 0};
    if (poll(&ended, 1, waitMs) != 1)
        kill(child.pid, SIGKILL);
    int status = 0;
    rusage usage = {};
    wait4(child.pid, &status, 0, &usage);
    if (!window) {
        std::fprintf(stderr, "xwin: no window \"%s\" was mapped\n",
                     qPrintable(title));
        return 1;
    }
    std::printf("map_ms=%.1f peak_rss_kib=%ld status=%d\n", mapMs,
                usage.ru_maxrss, exitStatus(status));
    return 0;
}

int nextTab(XClient &x, xcb_window_t window)
{
    if (x.showNextTab(window, waitMs))
        return 0;
    std::fprintf(stderr, "xwin: window 0x%x did not repaint\n", window);
    return 1;
}

int shot(XClient &x, xcb_window_t window, const char *file)
{
    if (x.grab(window).save(QString::fromLocal8Bit(file), "PNG"))
        return 0;
    std::fprintf(stderr, "xwin: cannot save window 0x%x to %s\n", window, file);
    return 1;
}

int close(XClient &x, xcb_window_t window)
{
    x.close(window);
    if (x.waitForDestroy(window, waitMs))
        return 0;
    std::fprintf(stderr, "xwin: window 0x%x stayed\n", window);
    return 1;
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fputs(usage, stderr);
        return 2;
    }
    XClient x;
    if (!x.isConnected()) {
        std::fputs("xwin: no X server with DAMAGE and XTEST\n", stderr);
        return 1;
    }
    const char *command = argv[1];
    const auto window = xcb_window_t(std::strtoul(argv[2], nullptr, 0));
    if (argc >= 4 && std::strcmp(command, "launch") == 0)
        return launch(x, QString::fromUtf8(argv[2]), argv + 3);
    if (argc >= 4 && std::strcmp(command, "time") == 0)
        return timeToWindow(x, QString::fromUtf8(argv[2]), argv + 3);
    if (argc == 3 && std::strcmp(command, "next-tab") == 0)
        return nextTab(x, window);
    if (argc == 4 && std::strcmp(command, "shot") == 0)
        return shot(x, window, argv[3]);
    if (argc == 3 && std::strcmp(command, "close") == 0)
        return close(x, window);
    std::fputs(usage, stderr);
    return 2;
}
