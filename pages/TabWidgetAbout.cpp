// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/TabWidgetAbout.h"

#include "pages/PageHelpers.h"

#include "BuildConfig.h"

#include <QLabel>
#include <QVBoxLayout>

using PageHelpers::headingLabel;

TabWidgetAbout::TabWidgetAbout(QWidget *parent)
    : TabWidgetBase(QStringLiteral("about"), parent)
{
    auto *layout = new QVBoxLayout;
    layout->addWidget(headingLabel(tr("版本与授权")));
    layout->addWidget(
        new QLabel(tr("输入法版本: %1").arg(QLatin1String(QUILMO_VERSION))));
    layout->addWidget(new QLabel(tr("版权所有 © 2026 墨岚拼音开发组")));
    layout->addWidget(new QLabel(tr("墨岚拼音开发组保留所有权利。")));
    layout->addWidget(headingLabel(tr("Internet")));
    layout->addWidget(
        new QLabel(tr("输入法论坛：https://forum.quilmo.example.org/")));
    layout->addWidget(new QLabel(tr("联系我们：support@quilmo.example.org")));
    PageHelpers::addFinalSpacer(layout);
    setLayout(layout);
}

std::optional<TabWidgetBase::Commit> TabWidgetAbout::commitFor(const QString &,
                                                               const QString &)
{
    return std::nullopt;
}

void TabWidgetAbout::reset() {}
