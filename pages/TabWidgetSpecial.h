// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TABWIDGETSPECIAL_H
#define QUILMO_TABWIDGETSPECIAL_H

#include "app/TabWidgetBase.h"

class TabWidgetSpecial : public TabWidgetBase
{
    Q_OBJECT
public:
    explicit TabWidgetSpecial(QWidget *parent);

    QMap<QString, QString> apply() override;
    void reset() override;

public Q_SLOTS:
    void onSettingChanged(QMap<QString, QString> changedSettings);
};

#endif
