// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_DESKTOPIDENTITY_H
#define QUILMO_DESKTOPIDENTITY_H

/**
 * Makes the desktop recognise the tool as its desktop entry
 * quilmo-config.desktop: the X11 window class and the Wayland app id name
 * it. Needs the QGuiApplication, and comes before the first window.
 */
void applyDesktopIdentity();

/// Gives every window, shown or not, the tool's icon. Rendering the SVG
/// icon takes time that a window's first frame need not wait for.
void applyWindowIcon();

#endif
