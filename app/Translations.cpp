// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void installTranslations()
{
    QCoreApplication *application = QCoreApplication::instance();
    auto *tool = new QTranslator(application);
    // quilmo_zh_CN holds no translation: found first, it keeps the source's
    // Chinese for a desktop that lists Chinese before English.
    const bool translated =
        tool->load(QLocale::system(), QStringLiteral("quilmo"),
                   QStringLiteral("_"), QStringLiteral(":/translations"));
    const QString language =
        translated ? tool->language() : QStringLiteral("zh_CN");
    QCoreApplication::installTranslator(tool);

    auto *qt = new QTranslator(application);
    if (qt->load(QStringLiteral("qtbase_") + language,
                 QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
}
