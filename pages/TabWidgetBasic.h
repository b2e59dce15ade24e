// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TABWIDGETBASIC_H
#define QUILMO_TABWIDGETBASIC_H

#include "app/TabWidgetBase.h"

class TabWidgetBasic : public TabWidgetBase
{
    Q_OBJECT
public:
    explicit TabWidgetBasic(QWidget *parent);

    QMap<QString, QString> apply() override;
    void reset() override;
};

#endif
