// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DesktopIdentity.h"
#include "app/FirstFrame.h"
#include "app/FontPreload.h"
#include "app/Launch.h"
#include "app/MainWindow.h"
#include "app/Privileges.h"
#include "app/SingleInstance.h"
#include "app/Translations.h"
#include "config/ConfigBus.h"
#include "config/Logging.h"

#include <QApplication>

#include <iostream>

int main(int argc, char *argv[])
{
    if (!isLaunchCommandLine(argc, argv)) {
        std::cerr << "Parameter error!" << std::endl;
        return -1;
    }
    if (!becomeHomeOwner())
        return refuseForeignHome(argc, argv);
    printTracesWithoutCategory();
    preparePlatform();
    const QByteArray startupId = takeStartupId();
    // Fontconfig loads beside Qt's start: the environment stays as it is.
    FontPreload fonts;
    QApplication app(argc, argv);
    fonts.wait();
    handStartupIdToWindows(startupId);
    installTranslations();
    applyDesktopIdentity();
    // Before the lock exists, so that whoever sees the lock can end us.
    quitEventLoopOnTerminationSignals();
    SingleInstance instance;
    if (!instance.acquire()) {
        instance.raiseRunningCopy(startupId);
        return 0; // another copy of this user is running
    }
    if (!ConfigBus::instance()->init())
        return -1;

    int status = 0;
    {
        MainWindow window(nullptr);
        // Neither is part of the first frame. The lock is already ours: a
        // later start that comes before the raise socket finds no window
        // to raise, and still does not open a second one.
        runAfterFirstFrame(&window, [&instance, &window] {
            instance.raiseOnRequest(&window);
            applyWindowIcon();
        });
        window.setVisible(true);
        status = app.exec();
        ConfigBus::instance()->uninit();
    } // the window and its pages go before the lock is released
    return status;
}
