// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/TabWidgetBase.h"

#include "config/ConfigBus.h"
#include "config/SettingsFile.h"

#include <utility>

const QString TabWidgetBase::checkedValue = QStringLiteral("Qt::Checked");
const QString TabWidgetBase::uncheckedValue = QStringLiteral("Qt::Unchecked");

TabWidgetBase::TabWidgetBase(const QString &name, QWidget *parent)
    : QWidget(parent), m_name(name)
{
}

QMap<QString, QString> TabWidgetBase::apply()
{
    QMap<QString, QString> committed;
    // The file holds the undelivered values already; nothing else would
    // ever send them. A newer edit of the same key wins.
    QMap<QString, QString> pending = std::exchange(m_undeliveredSettings, {});
    pending.insert(std::exchange(m_changedSettings, {}));
    for (auto it = pending.cbegin(); it != pending.cend(); ++it) {
        const std::optional<Commit> commit = commitFor(it.key(), it.value());
        if (!commit)
            continue;
        m_sentSettings.insert(it.key(), it.value());
        ConfigBus *bus = ConfigBus::instance();
        if (commit->value.type() == QVariant::String)
            bus->setValue_String(commit->busName, commit->value.toString());
        else
            bus->setValue_Int(commit->busName, commit->value.toInt());
        committed.insert(commit->fileKey, commit->value.toString());
    }
    return committed;
}

// The container keeps what the file did not take.
bool TabWidgetBase::finishCommit(bool /*stored*/, bool delivered)
{
    const QMap<QString, QString> sent = std::exchange(m_sentSettings, {});
    if (!delivered)
        m_undeliveredSettings = sent;
    return true;
}

void TabWidgetBase::recordSent(const QString &key, const QString &value)
{
    m_sentSettings.insert(key, value);
}

QVariant TabWidgetBase::storedValue(const IniSnapshot &stored,
                                    const QString &key,
                                    const QVariant &defaultValue) const
{
    return stored.value(m_name + QLatin1Char('/') + key, defaultValue);
}

TabWidgetBase::Commit TabWidgetBase::flagCommit(const QString &value,
                                                const QString &busName,
                                                const QString &fileKey)
{
    return {busName, value == checkedValue ? 1 : 0, fileKey};
}

void TabWidgetBase::onCheckBoxStateChanged(const QString &key, int state)
{
    if (state != Qt::Checked && state != Qt::Unchecked)
        return; // partially checked means nothing for a setting
    const bool checked = state == Qt::Checked;
    if (m_changedSettings.value(key) ==
        (checked ? uncheckedValue : checkedValue))
        m_changedSettings.remove(key);
    else
        m_changedSettings.insert(key, checked ? checkedValue : uncheckedValue);
}

void TabWidgetBase::onChoiceChanged(const QString &key, int choice,
                                    int savedChoice)
{
    if (m_changedSettings.contains(key) && choice == savedChoice)
        m_changedSettings.remove(key);
    else
        m_changedSettings.insert(key, QString::number(choice));
}
