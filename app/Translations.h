// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TRANSLATIONS_H
#define QUILMO_TRANSLATIONS_H

/**
 * Installs the translation of the tool's texts, whose source is Chinese,
 * for the first of the desktop's languages that the tool has a catalogue
 * of, and Qt's own translation (file dialog, context menus, message-box
 * buttons) for the same language. A desktop in none of those languages
 * sees the Chinese of the source. A missing Qt catalogue leaves Qt's
 * texts in English and changes nothing else. Needs a QCoreApplication.
 */
void installTranslations();

#endif
