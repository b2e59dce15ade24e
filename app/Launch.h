// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_LAUNCH_H
#define QUILMO_LAUNCH_H

#include <QByteArray>
#include <QString>

/// The only command line the tool accepts: its name and the launch token.
bool isLaunchCommandLine(int argc, const char *const *argv);

/// Settings for the process made before the QApplication exists: high-DPI
/// scaling, no OpenGL driver for a dialog that draws none (unless the user
/// chose a GL integration), and SIGXFSZ ignored.
void preparePlatform();

/// DESKTOP_STARTUP_ID as the process started with, taken out of the
/// environment (as Qt's X11 support would take it) before any thread runs.
QByteArray takeStartupId();

/// Gives Qt on X11 the start's @p startupId again: showing the first window
/// ends the desktop's launch feedback with it. Needs a QApplication.
void handStartupIdToWindows(const QByteArray &startupId);

/// The per-user single-instance key, "quilmo_config_tools_<uid>".
QString singleInstanceKey();

/// Makes SIGTERM, SIGINT and SIGHUP end the event loop like closing the
/// window, so that the normal teardown (and the lock's release) runs.
/// Needs a QCoreApplication.
void quitEventLoopOnTerminationSignals();

#endif
