// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TABWIDGETBASIC_H
#define QUILMO_TABWIDGETBASIC_H

#include "app/TabWidgetBase.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QVBoxLayout;

/**
 * @brief The "常用" tab: candidate count and the character- and
 * word-frequency adjustment speeds (plus the hidden status-window box).
 *
 * A candidate-count edit is pending as "saved,new" list indexes; a rate
 * edit as the chosen button id.
 */
class TabWidgetBasic : public TabWidgetBase
{
    Q_OBJECT
public:
    explicit TabWidgetBasic(QWidget *parent);

    /// @see TabWidgetBase::reset()
    void reset() override;

    /// Reads the pending candidate-count entry "saved,new".
    /// @return false, leaving both arguments alone, unless it holds two
    /// numbers.
    bool getCandidateCountChangeInfo(int &first, int &second) const;
    /// Records the rate button @p id of group @p name coming on; only the
    /// button that comes on counts.
    void onButtonToggled(bool checked, const QString &name, int id,
                         int savedId);

public Q_SLOTS:
    void onCheckBoxHideStatusWindowStateChanged(int state);
    void onComboBoxCandidateCountIndexChanged(int index);
    void onButtonZiRateFixedToggled(bool checked);
    void onButtonZiRateFastToggled(bool checked);
    void onButtonZiRateSlowToggled(bool checked);
    void onButtonCiRateFixedToggled(bool checked);
    void onButtonCiRateFastToggled(bool checked);
    void onButtonCiRateSlowToggled(bool checked);

protected:
    /// ciRate, ziRate, hideStatusWindow, candidateCount: the order apply()
    /// sends them in. @see TabWidgetBase::commitFor()
    std::optional<Commit> commitFor(const QString &key,
                                    const QString &value) override;

private:
    void buildLayout();
    QButtonGroup *addRateRow(QVBoxLayout *layout, const QString &label,
                             const QString &name);
    void loadSettings();
    void connectControls();

    QCheckBox *checkboxHideStatusWindow = nullptr;
    QComboBox *comboboxCandidateCount = nullptr;
    QButtonGroup *buttonGroupZiRate = nullptr;
    QButtonGroup *buttonGroupCiRate = nullptr;
    /// List index (count - 1) as last loaded or applied; may lie outside
    /// the list when the file holds a count outside 1..9.
    int m_savedCandidateIndex = 0;
    /// Button ids as last loaded or applied; may name no button.
    int m_savedZiRate = 0;
    int m_savedCiRate = 0;
};

#endif
