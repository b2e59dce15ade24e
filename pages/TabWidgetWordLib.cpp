// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/TabWidgetWordLib.h"

TabWidgetWordLib::TabWidgetWordLib(QWidget *parent)
    : TabWidgetBase(QStringLiteral("wordlib"), parent)
{
}

QMap<QString, QString> TabWidgetWordLib::apply()
{
    m_changedSettings.clear();
    return {};
}

void TabWidgetWordLib::reset() {}
