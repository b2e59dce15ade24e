// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/TabWidgetBasic.h"

TabWidgetBasic::TabWidgetBasic(QWidget *parent)
    : TabWidgetBase(QStringLiteral("basic"), parent)
{
}

QMap<QString, QString> TabWidgetBasic::apply()
{
    m_changedSettings.clear();
    return {};
}

void TabWidgetBasic::reset() {}
