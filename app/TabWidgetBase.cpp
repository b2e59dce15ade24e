// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/TabWidgetBase.h"

const QString TabWidgetBase::checkedValue = QStringLiteral("Qt::Checked");
const QString TabWidgetBase::uncheckedValue = QStringLiteral("Qt::Unchecked");

TabWidgetBase::TabWidgetBase(const QString &name, QWidget *parent)
    : QWidget(parent), m_name(name)
{
}

void TabWidgetBase::onCheckBoxStateChanged(const QString &key, int state)
{
    QString value;
    QString opposite;
    if (state == Qt::Checked) {
        value = checkedValue;
        opposite = uncheckedValue;
    } else if (state == Qt::Unchecked) {
        value = uncheckedValue;
        opposite = checkedValue;
    } else {
        return; // partially checked means nothing for a setting
    }
    if (m_changedSettings.value(key) == opposite)
        m_changedSettings.remove(key);
    else
        m_changedSettings.insert(key, value);
}

void TabWidgetBase::onChoiceChanged(const QString &key, int choice,
                                    int savedChoice)
{
    if (m_changedSettings.contains(key) && choice == savedChoice)
        m_changedSettings.remove(key);
    else
        m_changedSettings.insert(key, QString::number(choice));
}
