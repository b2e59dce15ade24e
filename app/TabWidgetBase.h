// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TABWIDGETBASE_H
#define QUILMO_TABWIDGETBASE_H

#include <QMap>
#include <QString>
#include <QWidget>

/**
 * @brief Base of every settings page in the container's tab widget.
 *
 * A page keeps the user's edits in m_changedSettings until the container
 * pulls them with apply(); pages never signal the container themselves.
 */
class TabWidgetBase : public QWidget
{
    Q_OBJECT
public:
    TabWidgetBase(const QString &name, QWidget *parent);
    ~TabWidgetBase() override = default;

    /// The page name; also the page's group in the settings file.
    QString name() const { return m_name; }

    /// Pushes every pending value to the engine, forgets them and returns
    /// the committed settings (file keys without the group).
    virtual QMap<QString, QString> apply() = 0;

    /// Moves the controls to their defaults; the resulting edits stay
    /// pending until the next apply().
    virtual void reset() = 0;

    /// Edits not yet committed, keyed by setting identifier.
    const QMap<QString, QString> &changedSettings() const
    {
        return m_changedSettings;
    }

    static const QString checkedValue;
    static const QString uncheckedValue;

protected:
    /// Records a checkbox's new state; a flip back to the committed state
    /// removes the pending entry instead of recording it.
    void onCheckBoxStateChanged(const QString &key, int state);
    /// Records a choice among numbered options (a list index, a button
    /// id); choosing @p savedChoice again removes the pending entry.
    void onChoiceChanged(const QString &key, int choice, int savedChoice);

    QMap<QString, QString> m_defaultSettings;
    QMap<QString, QString> m_changedSettings;

private:
    const QString m_name;
};

#endif
