// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TABWIDGETSPECIAL_H
#define QUILMO_TABWIDGETSPECIAL_H

#include "app/TabWidgetBase.h"

class QCheckBox;
class QComboBox;
class QLayout;

/**
 * @brief The "高级" tab: intelligent word building, the "i" and "B" modes,
 * custom phrases and the candidate position that shows a custom phrase.
 *
 * The positions offered run from 1 to the candidate count; the page follows
 * a count that the basic page commits (onSettingChanged()). Positions are
 * stored, sent and compared as zero-based list indexes.
 */
class TabWidgetSpecial : public TabWidgetBase
{
    Q_OBJECT
public:
    explicit TabWidgetSpecial(QWidget *parent);

    /// @see TabWidgetBase::reset()
    void reset() override;
    /// Also returns a position that a new count moved, which the engine
    /// has already, for the file. @see TabWidgetBase::apply()
    QMap<QString, QString> apply() override;

public Q_SLOTS:
    // "Chagned" is kept on purpose: these slot names are the page's interface.
    void onCheckBoxIntelligentWordStateChagned(int state);
    void onCheckBoxEnableIModeStateChagned(int state);
    void onCheckBoxEnableBModeStateChagned(int state);
    /// Rebuilds the position list when @p changedSettings carries a
    /// "candidatecount". A selection beyond the new list moves to its last
    /// position, which is sent at once and stored with this commit.
    void onSettingChanged(QMap<QString, QString> changedSettings);
    void onCheckBoxEnableCustomPhraseStateChanged(int state);
    void onComboBoxCustomPhraseDisplayPosCurrentIndexChanged(int index);

protected:
    /// enableBMode, enableCustomPhrase, enableIMode, enableIntelligentWord,
    /// customPhraseDisplayPos: the order apply() sends them in.
    /// @see TabWidgetBase::commitFor()
    std::optional<Commit> commitFor(const QString &key,
                                    const QString &value) override;

private:
    /// The page's controls, in the layout the page takes.
    QLayout *buildLayout();
    void loadSettings();
    void connectControls();
    void fillDisplayPositions(int count);
    void storeDisplayPos(int index);
    QCheckBox *checkBox(const QString &objectName) const;

    QCheckBox *m_checkboxEnableIntelligentWord = nullptr;
    QCheckBox *m_checkboxEnableIMode = nullptr;
    QCheckBox *m_checkboxEnableBMode = nullptr;
    QCheckBox *m_checkboxEnableCustomPhrase = nullptr;
    QComboBox *m_comboBoxCustomPhraseDisplayPos = nullptr;
    /// False while the page itself rebuilds the list: not a user's choice.
    bool m_trackDisplayPosChanges = true;
    /// The position the settings file and the engine hold, as far as this
    /// page knows.
    int m_savedDisplayPos = 0;
    /// A position moved by a new count, sent but not yet in the file.
    std::optional<int> m_movedDisplayPos;
};

#endif
