// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace
{
/// The tool's catalogue for the first of the desktop's languages that it
/// speaks; none for Chinese in any form, which is the source's.
bool loadCatalogue(QTranslator *catalogue)
{
    const QString directory = QStringLiteral(":/translations");
    for (const QString &language : QLocale::system().uiLanguages()) {
        const QString name = QLocale(language).name();
        if (name.startsWith(QLatin1String("zh")))
            return false;
        if (catalogue->load(QStringLiteral("quilmo_") + name, directory) ||
            catalogue->load(QStringLiteral("quilmo_") + name.section('_', 0, 0),
                            directory))
            return true;
    }
    return false;
}
} // namespace

void installTranslations()
{
    QCoreApplication *application = QCoreApplication::instance();
    auto *tool = new QTranslator(application);
    const QString language =
        loadCatalogue(tool) ? tool->language() : QStringLiteral("zh_CN");
    QCoreApplication::installTranslator(tool);

    auto *qt = new QTranslator(application);
    if (qt->load(QStringLiteral("qtbase_") + language,
                 QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
}
