// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TABWIDGETBASE_H
#define QUILMO_TABWIDGETBASE_H

#include <QMap>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <optional>

class IniSnapshot;

/**
 * @brief Base of every settings page in the container's tab widget.
 *
 * A page keeps the user's edits in m_changedSettings until the container
 * pulls them with apply(); pages never signal the container themselves.
 * apply() is the same for every page: a page says only, in commitFor(),
 * how each of its pending entries reaches the engine and the file.
 */
class TabWidgetBase : public QWidget
{
    Q_OBJECT
public:
    TabWidgetBase(const QString &name, QWidget *parent);
    ~TabWidgetBase() override = default;

    /// The page name; also the page's group in the settings file.
    QString name() const { return m_name; }

    /// Pushes every pending value to the engine, in key order, together
    /// with those an earlier commit could not deliver, forgets them and
    /// returns the committed settings (file keys without the group).
    virtual QMap<QString, QString> apply();

    /// Moves the controls to their defaults; the resulting edits stay
    /// pending until the next apply().
    virtual void reset() = 0;

    /// Called once the container has stored what apply() returned.
    /// @p stored: the settings file holds it; @p delivered: the engine took
    /// every value of the commit. Values not delivered are sent again with
    /// the next commit. Work that must wait for both (removing a file the
    /// old selection named) happens here, or waits for the next commit.
    /// @return false when something asked for failed.
    virtual bool finishCommit(bool stored, bool delivered);

    /// The window closes: whatever is pending is dropped. A page says here
    /// what of it the user would not expect to lose.
    virtual void dropPending() {}

    /// Whether the next apply() has an edit to commit.
    virtual bool hasPendingChanges() const
    {
        return !m_changedSettings.isEmpty();
    }

    /// Whether a value this page committed has not reached the engine yet.
    bool hasUndeliveredSettings() const
    {
        return !m_undeliveredSettings.isEmpty();
    }

    /// Edits not yet committed, keyed by setting identifier.
    const QMap<QString, QString> &changedSettings() const
    {
        return m_changedSettings;
    }

    static const QString checkedValue;
    static const QString uncheckedValue;

protected:
    /// How one pending entry is committed: @p value goes to the engine
    /// under @p busName (as a 32-bit int, or as a string when it holds
    /// one) and its text into the settings file under @p fileKey.
    struct Commit {
        QString busName;
        QVariant value;
        QString fileKey;
    };

    /// The commit of the pending entry @p key = @p value; nothing for an
    /// entry that cannot be committed, which apply() drops. The page moves
    /// what it keeps as saved here.
    virtual std::optional<Commit> commitFor(const QString &key,
                                            const QString &value) = 0;
    /// The value of @p key in this page's group, as @p stored holds it.
    QVariant storedValue(const IniSnapshot &stored, const QString &key,
                         const QVariant &defaultValue = QVariant()) const;
    /// A checkbox's commit: 1 (and "1") when @p value reads ticked, else 0.
    static Commit flagCommit(const QString &value, const QString &busName,
                             const QString &fileKey);

    /// Records a checkbox's new state; a flip back to the committed state
    /// removes the pending entry instead of recording it.
    void onCheckBoxStateChanged(const QString &key, int state);
    /// Records a choice among numbered options (a list index, a button
    /// id); choosing @p savedChoice again removes the pending entry.
    void onChoiceChanged(const QString &key, int choice, int savedChoice);
    /// Records that the value of @p key went to the engine outside apply();
    /// it is delivered, or sent again, with the commit under way.
    void recordSent(const QString &key, const QString &value);

    QMap<QString, QString> m_defaultSettings;
    QMap<QString, QString> m_changedSettings;

private:
    const QString m_name;
    /// Entries sent since the commit began, keyed as m_changedSettings.
    QMap<QString, QString> m_sentSettings;
    /// Entries stored by a commit whose values the engine did not take.
    QMap<QString, QString> m_undeliveredSettings;
};

#endif
