// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TABWIDGETWORDLIB_H
#define QUILMO_TABWIDGETWORDLIB_H

#include "app/TabWidgetBase.h"

class TabWidgetWordLib : public TabWidgetBase
{
    Q_OBJECT
public:
    explicit TabWidgetWordLib(QWidget *parent);

    QMap<QString, QString> apply() override;
    void reset() override;
};

#endif
