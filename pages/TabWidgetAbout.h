// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TABWIDGETABOUT_H
#define QUILMO_TABWIDGETABOUT_H

#include "app/TabWidgetBase.h"

/// @brief The "关于" tab: version and contact information, no settings.
class TabWidgetAbout : public TabWidgetBase
{
    Q_OBJECT
public:
    explicit TabWidgetAbout(QWidget *parent);

    /// Always empty: the page holds no settings. @see TabWidgetBase::apply()
    QMap<QString, QString> apply() override;
    /// Nothing to restore. @see TabWidgetBase::reset()
    void reset() override;
};

#endif
