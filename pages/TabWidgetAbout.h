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

    /// Nothing to restore. @see TabWidgetBase::reset()
    void reset() override;

protected:
    /// The page holds no settings. @see TabWidgetBase::commitFor()
    std::optional<Commit> commitFor(const QString &key,
                                    const QString &value) override;
};

#endif
