// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_DESKTOPIDENTITY_H
#define QUILMO_DESKTOPIDENTITY_H

/**
 * Makes the desktop recognise the tool as its desktop entry
 * quilmo-config.desktop: the X11 window class and the Wayland app id name
 * it, and every window carries its icon. Needs the QGuiApplication.
 */
void applyDesktopIdentity();

#endif
