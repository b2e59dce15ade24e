// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/TabWidgetBasic.h"

#include "config/Logging.h"
#include "config/SettingsFile.h"
#include "pages/PageHelpers.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

using PageHelpers::headingLabel;
using PageHelpers::rowWithSpacer;

namespace
{
// Keys of the page's group in the settings file, and their bus names.
const QLatin1String hideStatusWindowKey("hidestatuswindow");
const QLatin1String candidateCountKey("candidatecount");
const QLatin1String ziRateKey("zirate");
const QLatin1String ciRateKey("cirate");
const QLatin1String hideStatusWindowBusName("hideStatusWindow");
const QLatin1String candidateCountBusName("candidateCount");
const QLatin1String ziRateBusName("ziRate");
const QLatin1String ciRateBusName("ciRate");

enum RateId { RateFixed = 0, RateFast = 1, RateSlow = 2 };

using PageHelpers::defaultCandidateCount;
using PageHelpers::maxCandidateCount;
const int defaultRate = RateFast;

/// A pending candidate count: "saved,new" list indexes.
struct CountChange {
    int savedIndex;
    int newIndex;
};

QString candidateCountChange(int savedIndex, int newIndex)
{
    return QStringLiteral("%1,%2").arg(savedIndex).arg(newIndex);
}

std::optional<CountChange> countChange(const QString &entry)
{
    const QStringList parts = entry.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    const std::optional<int> savedIndex = PageHelpers::toInt(parts.at(0));
    const std::optional<int> newIndex = PageHelpers::toInt(parts.at(1));
    if (!savedIndex || !newIndex)
        return std::nullopt;
    return CountChange{*savedIndex, *newIndex};
}

void checkButton(QButtonGroup *group, int id)
{
    // A stored id outside the group leaves the current button checked.
    if (QAbstractButton *button = group->button(id))
        button->setChecked(true);
}
} // namespace

TabWidgetBasic::TabWidgetBasic(QWidget *parent)
    : TabWidgetBase(QStringLiteral("basic"), parent)
{
    buildLayout();
    loadSettings();
    connectControls(); // last, so that loading records nothing
}

void TabWidgetBasic::buildLayout()
{
    auto *layout = new QVBoxLayout(this);

    auto *statusHeading = headingLabel(tr("默认状态"));
    layout->addWidget(statusHeading);
    checkboxHideStatusWindow = new QCheckBox(tr("隐藏状态栏"));
    checkboxHideStatusWindow->setObjectName(
        QStringLiteral("checkboxHideStatusWindow"));
    layout->addLayout(rowWithSpacer({checkboxHideStatusWindow}));
    // Carried for the engine but kept from the user: only Reset changes it.
    checkboxHideStatusWindow->hide();
    statusHeading->hide();

    layout->addWidget(headingLabel(tr("显示设置")));
    comboboxCandidateCount = new QComboBox;
    comboboxCandidateCount->setObjectName(
        QStringLiteral("comboboxCandidateCount"));
    for (int count = 1; count <= maxCandidateCount; ++count)
        comboboxCandidateCount->addItem(QString::number(count));
    layout->addLayout(rowWithSpacer(
        {PageHelpers::buddyLabel(tr("候选词个数"), comboboxCandidateCount),
         comboboxCandidateCount}));

    layout->addWidget(headingLabel(tr("字词选项")));
    buttonGroupZiRate =
        addRateRow(layout, tr("字频调整"), QStringLiteral("ZiRate"));
    buttonGroupCiRate =
        addRateRow(layout, tr("词频调整"), QStringLiteral("CiRate"));
    PageHelpers::addFinalSpacer(layout);
}

QButtonGroup *TabWidgetBasic::addRateRow(QVBoxLayout *layout,
                                         const QString &label,
                                         const QString &name)
{
    auto *fixed = new QRadioButton(tr("固定"));
    auto *fast = new QRadioButton(tr("快速"));
    auto *slow = new QRadioButton(tr("慢速"));
    fixed->setObjectName(QStringLiteral("radio%1Fixed").arg(name));
    fast->setObjectName(QStringLiteral("radio%1Fast").arg(name));
    slow->setObjectName(QStringLiteral("radio%1Slow").arg(name));
    // Both rows hold 固定/快速/慢速: a group named after the row tells a
    // screen reader which row; the label shows the name.
    layout->addWidget(PageHelpers::namedRow(
        label, rowWithSpacer({new QLabel(label), fixed, fast, slow})));

    auto *group = new QButtonGroup(this);
    group->setObjectName(QStringLiteral("buttonGroup%1").arg(name));
    // Tab enters the row at its checked button; arrows move within it.
    connect(
        group,
        QOverload<QAbstractButton *, bool>::of(&QButtonGroup::buttonToggled),
        this, [](QAbstractButton *button, bool checked) {
            button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    for (QRadioButton *button : {fixed, fast, slow})
        button->setFocusPolicy(Qt::ClickFocus);
    group->addButton(fixed, RateFixed);
    group->addButton(fast, RateFast);
    group->addButton(slow, RateSlow);
    group->setExclusive(true);
    fixed->setChecked(true);
    return group;
}

void TabWidgetBasic::loadSettings()
{
    const IniSnapshot stored = SettingsFile::read();

    checkboxHideStatusWindow->setChecked(
        storedValue(stored, hideStatusWindowKey, QStringLiteral("0"))
            .toString() == QLatin1String("1"));
    m_defaultSettings.insert(checkboxHideStatusWindow->objectName(),
                             uncheckedValue);

    // The index is passed on unchecked: one outside the list selects nothing.
    m_savedCandidateIndex =
        PageHelpers::toCandidateIndex(storedValue(stored, candidateCountKey))
            .value_or(defaultCandidateCount - 1);
    comboboxCandidateCount->setCurrentIndex(m_savedCandidateIndex);
    m_defaultSettings.insert(comboboxCandidateCount->objectName(),
                             QString::number(defaultCandidateCount));

    m_savedZiRate = PageHelpers::toInt(storedValue(stored, ziRateKey))
                        .value_or(defaultRate);
    checkButton(buttonGroupZiRate, m_savedZiRate);
    m_defaultSettings.insert(buttonGroupZiRate->objectName(),
                             QString::number(defaultRate));

    m_savedCiRate = PageHelpers::toInt(storedValue(stored, ciRateKey))
                        .value_or(defaultRate);
    checkButton(buttonGroupCiRate, m_savedCiRate);
    m_defaultSettings.insert(buttonGroupCiRate->objectName(),
                             QString::number(defaultRate));
}

void TabWidgetBasic::connectControls()
{
    connect(checkboxHideStatusWindow, &QCheckBox::stateChanged, this,
            &TabWidgetBasic::onCheckBoxHideStatusWindowStateChanged);
    connect(comboboxCandidateCount,
            QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TabWidgetBasic::onComboBoxCandidateCountIndexChanged);
    connect(buttonGroupZiRate->button(RateFixed), &QAbstractButton::toggled,
            this, &TabWidgetBasic::onButtonZiRateFixedToggled);
    connect(buttonGroupZiRate->button(RateFast), &QAbstractButton::toggled,
            this, &TabWidgetBasic::onButtonZiRateFastToggled);
    connect(buttonGroupZiRate->button(RateSlow), &QAbstractButton::toggled,
            this, &TabWidgetBasic::onButtonZiRateSlowToggled);
    connect(buttonGroupCiRate->button(RateFixed), &QAbstractButton::toggled,
            this, &TabWidgetBasic::onButtonCiRateFixedToggled);
    connect(buttonGroupCiRate->button(RateFast), &QAbstractButton::toggled,
            this, &TabWidgetBasic::onButtonCiRateFastToggled);
    connect(buttonGroupCiRate->button(RateSlow), &QAbstractButton::toggled,
            this, &TabWidgetBasic::onButtonCiRateSlowToggled);
}

std::optional<TabWidgetBase::Commit>
TabWidgetBasic::commitFor(const QString &key, const QString &value)
{
    if (key == buttonGroupCiRate->objectName()) {
        m_savedCiRate = buttonGroupCiRate->checkedId();
        return Commit{ciRateBusName, m_savedCiRate, ciRateKey};
    }
    if (key == buttonGroupZiRate->objectName()) {
        m_savedZiRate = buttonGroupZiRate->checkedId();
        return Commit{ziRateBusName, m_savedZiRate, ziRateKey};
    }
    if (key == checkboxHideStatusWindow->objectName())
        return flagCommit(value, hideStatusWindowBusName, hideStatusWindowKey);
    if (key == comboboxCandidateCount->objectName()) {
        // The count sent is the entry's new index, not the list's.
        const std::optional<CountChange> change = countChange(value);
        if (!change)
            return std::nullopt;
        m_savedCandidateIndex = comboboxCandidateCount->currentIndex();
        return Commit{candidateCountBusName, change->newIndex + 1,
                      candidateCountKey};
    }
    return std::nullopt;
}

void TabWidgetBasic::reset()
{
    // Only the controls move; their signals record what differs.
    for (auto it = m_defaultSettings.cbegin(); it != m_defaultSettings.cend();
         ++it) {
        const QString &key = it.key();
        const std::optional<int> number = PageHelpers::toInt(it.value());
        if (key == checkboxHideStatusWindow->objectName()) {
            if (it.value() == checkedValue)
                checkboxHideStatusWindow->setChecked(true);
            else if (it.value() == uncheckedValue)
                checkboxHideStatusWindow->setChecked(false);
        } else if (key == comboboxCandidateCount->objectName()) {
            if (number)
                comboboxCandidateCount->setCurrentIndex(*number - 1);
        } else if (key == buttonGroupZiRate->objectName()) {
            if (number)
                checkButton(buttonGroupZiRate, *number);
        } else if (key == buttonGroupCiRate->objectName()) {
            if (number)
                checkButton(buttonGroupCiRate, *number);
        }
    }
}

bool TabWidgetBasic::getCandidateCountChangeInfo(int &first, int &second) const
{
    const std::optional<CountChange> change = countChange(
        m_changedSettings.value(comboboxCandidateCount->objectName()));
    if (!change)
        return false;
    first = change->savedIndex;
    second = change->newIndex;
    return true;
}

void TabWidgetBasic::onButtonToggled(bool checked, const QString &name, int id,
                                     int savedId)
{
    if (checked)
        onChoiceChanged(name, id, savedId);
}

void TabWidgetBasic::onCheckBoxHideStatusWindowStateChanged(int state)
{
    onCheckBoxStateChanged(checkboxHideStatusWindow->objectName(), state);
}

void TabWidgetBasic::onComboBoxCandidateCountIndexChanged(int index)
{
    const QString name = comboboxCandidateCount->objectName();
    if (!m_changedSettings.contains(name)) {
        m_changedSettings.insert(
            name, candidateCountChange(m_savedCandidateIndex, index));
    } else {
        int savedIndex = 0;
        int newIndex = 0;
        if (!getCandidateCountChangeInfo(savedIndex, newIndex))
            qCDebug(quilmoLog) << "Logic Error!"; // this text on purpose
        else if (index == savedIndex)
            m_changedSettings.remove(name);
        else
            m_changedSettings.insert(name,
                                     candidateCountChange(savedIndex, index));
    }
    qCDebug(quilmoLog) << "Candidate changed info: "
                       << m_changedSettings.value(name);
}

void TabWidgetBasic::onButtonZiRateFixedToggled(bool checked)
{
    onButtonToggled(checked, buttonGroupZiRate->objectName(), RateFixed,
                    m_savedZiRate);
}

void TabWidgetBasic::onButtonZiRateFastToggled(bool checked)
{
    onButtonToggled(checked, buttonGroupZiRate->objectName(), RateFast,
                    m_savedZiRate);
}

void TabWidgetBasic::onButtonZiRateSlowToggled(bool checked)
{
    onButtonToggled(checked, buttonGroupZiRate->objectName(), RateSlow,
                    m_savedZiRate);
}

void TabWidgetBasic::onButtonCiRateFixedToggled(bool checked)
{
    onButtonToggled(checked, buttonGroupCiRate->objectName(), RateFixed,
                    m_savedCiRate);
}

void TabWidgetBasic::onButtonCiRateFastToggled(bool checked)
{
    onButtonToggled(checked, buttonGroupCiRate->objectName(), RateFast,
                    m_savedCiRate);
}

void TabWidgetBasic::onButtonCiRateSlowToggled(bool checked)
{
    onButtonToggled(checked, buttonGroupCiRate->objectName(), RateSlow,
                    m_savedCiRate);
}
