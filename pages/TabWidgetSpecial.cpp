// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/TabWidgetSpecial.h"

TabWidgetSpecial::TabWidgetSpecial(QWidget *parent)
    : TabWidgetBase(QStringLiteral("special"), parent)
{
}

QMap<QString, QString> TabWidgetSpecial::apply()
{
    m_changedSettings.clear();
    return {};
}

void TabWidgetSpecial::reset() {}

void TabWidgetSpecial::onSettingChanged(QMap<QString, QString>) {}
