// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/TabWidgetSpecial.h"

#include "config/ConfigBus.h"
#include "config/SettingsFile.h"
#include "pages/PageHelpers.h"

#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

using PageHelpers::headingLabel;

namespace
{
/// A checkbox's settings-file key (in the page's group) and bus name.
struct FlagSetting {
    QLatin1String objectName;
    QLatin1String key;
    QLatin1String busName;
};

const FlagSetting intelligentWord{
    QLatin1String("checkboxEnableIntelligentWord"),
    QLatin1String("enableintelligentword"),
    QLatin1String("enableIntelligentWord")};
const FlagSetting iMode{QLatin1String("checkboxEnableIMode"),
                        QLatin1String("enableimode"),
                        QLatin1String("enableIMode")};
const FlagSetting bMode{QLatin1String("checkboxEnableBMode"),
                        QLatin1String("enablebmode"),
                        QLatin1String("enableBMode")};
const FlagSetting customPhrase{QLatin1String("checkboxEnableCustomPhrase"),
                               QLatin1String("enablecustomphrase"),
                               QLatin1String("enableCustomPhrase")};
const FlagSetting flagSettings[] = {intelligentWord, iMode, bMode,
                                    customPhrase};

// The count is the basic page's setting: its full key, and its key in the
// basic page's committed settings.
const QLatin1String storedCandidateCountKey("basic/candidatecount");
const QLatin1String candidateCountKey("candidatecount");
const QLatin1String displayPosKey("customphrasedisplaypos");
const QLatin1String displayPosBusName("customPhraseDisplayPos");

// Without a stored position the page shows the third candidate, but Reset
// restores the first.
const int initialDisplayPos = 2;
const int defaultDisplayPos = 0;

const FlagSetting *flagSetting(const QString &objectName)
{
    for (const FlagSetting &flag : flagSettings) {
        if (flag.objectName == objectName)
            return &flag;
    }
    return nullptr;
}

QCheckBox *newCheckBox(const QString &text, const FlagSetting &flag)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(flag.objectName);
    return box;
}
} // namespace

TabWidgetSpecial::TabWidgetSpecial(QWidget *parent)
    : TabWidgetBase(QStringLiteral("special"), parent)
{
    setLayout(buildLayout());
    loadSettings();
    connectControls(); // last, so that loading records nothing
}

QLayout *TabWidgetSpecial::buildLayout()
{
    m_checkboxEnableIntelligentWord =
        newCheckBox(tr("智能组词"), intelligentWord);
    m_checkboxEnableIMode = newCheckBox(tr("i字母开头进入数字单位模式"), iMode);
    m_checkboxEnableBMode = newCheckBox(tr("B字母开头进入笔画输入模式"), bMode);
    m_checkboxEnableCustomPhrase =
        newCheckBox(tr("使用自定义短语"), customPhrase);
    m_comboBoxCustomPhraseDisplayPos = new QComboBox;
    m_comboBoxCustomPhraseDisplayPos->setObjectName(
        QStringLiteral("comboBoxCustomPhraseDisplayPos"));

    auto *layout = new QVBoxLayout;
    layout->addWidget(headingLabel(tr("智能选项")));
    layout->addLayout(
        PageHelpers::rowWithSpacer({m_checkboxEnableIntelligentWord}));

    layout->addWidget(headingLabel(tr("模式开关")));
    auto *modeRow = new QHBoxLayout;
    modeRow->addWidget(m_checkboxEnableIMode);
    modeRow->addWidget(m_checkboxEnableBMode);
    layout->addLayout(modeRow);

    layout->addWidget(headingLabel(tr("自定义短语")));
    auto *phraseRow = new QHBoxLayout;
    phraseRow->addWidget(m_checkboxEnableCustomPhrase);
    phraseRow->addItem(
        new QSpacerItem(170, 0, QSizePolicy::Fixed, QSizePolicy::Fixed));
    phraseRow->addWidget(PageHelpers::buddyLabel(
        tr("自定义短语显示位置"), m_comboBoxCustomPhraseDisplayPos));
    phraseRow->addWidget(m_comboBoxCustomPhraseDisplayPos);
    PageHelpers::addTrailingSpacer(phraseRow);
    layout->addLayout(phraseRow);

    PageHelpers::addFinalSpacer(layout);
    return layout;
}

void TabWidgetSpecial::loadSettings()
{
    const IniSnapshot stored = SettingsFile::read();
    const int count =
        PageHelpers::toCandidateCount(stored.value(storedCandidateCountKey))
            .value_or(PageHelpers::defaultCandidateCount);
    fillDisplayPositions(count);

    for (const FlagSetting *flag : {&intelligentWord, &iMode, &bMode}) {
        checkBox(flag->objectName)
            ->setChecked(storedValue(stored, flag->key, QStringLiteral("1"))
                             .toString() == QLatin1String("1"));
        m_defaultSettings.insert(flag->objectName, checkedValue);
    }

    // Read as a number, unlike the other three: "01" ticks this one.
    const bool customPhraseOn =
        PageHelpers::toInt(storedValue(stored, customPhrase.key)).value_or(1) ==
        1;
    m_checkboxEnableCustomPhrase->setChecked(customPhraseOn);
    m_defaultSettings.insert(customPhrase.objectName, checkedValue);

    // No lower bound: a negative position selects nothing.
    const int position = PageHelpers::toInt(storedValue(stored, displayPosKey))
                             .value_or(initialDisplayPos);
    m_savedDisplayPos = position < count ? position : count - 1;
    m_comboBoxCustomPhraseDisplayPos->setCurrentIndex(m_savedDisplayPos);
    m_defaultSettings.insert(m_comboBoxCustomPhraseDisplayPos->objectName(),
                             QString::number(defaultDisplayPos));

    m_comboBoxCustomPhraseDisplayPos->setEnabled(customPhraseOn);
}

void TabWidgetSpecial::connectControls()
{
    connect(m_checkboxEnableIntelligentWord, &QCheckBox::stateChanged, this,
            &TabWidgetSpecial::onCheckBoxIntelligentWordStateChagned);
    connect(m_checkboxEnableIMode, &QCheckBox::stateChanged, this,
            &TabWidgetSpecial::onCheckBoxEnableIModeStateChagned);
    connect(m_checkboxEnableBMode, &QCheckBox::stateChanged, this,
            &TabWidgetSpecial::onCheckBoxEnableBModeStateChagned);
    connect(m_checkboxEnableCustomPhrase, &QCheckBox::stateChanged, this,
            &TabWidgetSpecial::onCheckBoxEnableCustomPhraseStateChanged);
    connect(
        m_comboBoxCustomPhraseDisplayPos,
        QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &TabWidgetSpecial::onComboBoxCustomPhraseDisplayPosCurrentIndexChanged);
}

void TabWidgetSpecial::fillDisplayPositions(int count)
{
    for (int position = 1; position <= count; ++position)
        m_comboBoxCustomPhraseDisplayPos->addItem(QString::number(position));
}

QCheckBox *TabWidgetSpecial::checkBox(const QString &objectName) const
{
    return findChild<QCheckBox *>(objectName, Qt::FindDirectChildrenOnly);
}

std::optional<TabWidgetBase::Commit>
TabWidgetSpecial::commitFor(const QString &key, const QString &value)
{
    if (const FlagSetting *flag = flagSetting(key))
        return flagCommit(value, flag->busName, flag->key);
    if (key != m_comboBoxCustomPhraseDisplayPos->objectName())
        return std::nullopt;
    // The entry only marks a change; the list says where it ended.
    m_savedDisplayPos = m_comboBoxCustomPhraseDisplayPos->currentIndex();
    return Commit{displayPosBusName, m_savedDisplayPos, displayPosKey};
}

void TabWidgetSpecial::reset()
{
    // Only the controls move; their signals record what differs. The
    // custom-phrase box sorts before the list, so the list is enabled first.
    for (auto it = m_defaultSettings.cbegin(); it != m_defaultSettings.cend();
         ++it) {
        if (QCheckBox *box = checkBox(it.key())) {
            box->setChecked(it.value() == checkedValue);
        } else if (it.key() == m_comboBoxCustomPhraseDisplayPos->objectName()) {
            m_comboBoxCustomPhraseDisplayPos->setCurrentIndex(
                PageHelpers::toInt(it.value()).value_or(0));
        }
    }
}

void TabWidgetSpecial::onCheckBoxIntelligentWordStateChagned(int state)
{
    onCheckBoxStateChanged(m_checkboxEnableIntelligentWord->objectName(),
                           state);
}

void TabWidgetSpecial::onCheckBoxEnableIModeStateChagned(int state)
{
    onCheckBoxStateChanged(m_checkboxEnableIMode->objectName(), state);
}

void TabWidgetSpecial::onCheckBoxEnableBModeStateChagned(int state)
{
    onCheckBoxStateChanged(m_checkboxEnableBMode->objectName(), state);
}

void TabWidgetSpecial::onSettingChanged(QMap<QString, QString> changedSettings)
{
    const auto countEntry = changedSettings.constFind(candidateCountKey);
    if (countEntry == changedSettings.cend())
        return;
    const int oldIndex = m_comboBoxCustomPhraseDisplayPos->currentIndex();
    const std::optional<int> count =
        PageHelpers::toCandidateCount(countEntry.value());

    // Clearing and refilling report index changes too; none is a choice of
    // the user, and tracking them could drop one the user has not applied.
    m_trackDisplayPosChanges = false;
    m_comboBoxCustomPhraseDisplayPos->clear();
    if (count) {
        fillDisplayPositions(*count);
        m_comboBoxCustomPhraseDisplayPos->setCurrentIndex(
            oldIndex < *count ? oldIndex : *count - 1);
    }
    m_trackDisplayPosChanges = true;

    if (count && oldIndex >= *count)
        storeDisplayPos(*count - 1);
}

void TabWidgetSpecial::storeDisplayPos(int index)
{
    ConfigBus::instance()->setValue_Int(displayPosBusName, index);
    recordSent(m_comboBoxCustomPhraseDisplayPos->objectName(),
               QString::number(index));
    // The engine holds it now (or gets it again with the next commit), and
    // the file will with this commit;
    // comparing later choices against the old position would drop a choice
    // of that old position.
    m_savedDisplayPos = index;
    m_movedDisplayPos = index;
}

QMap<QString, QString> TabWidgetSpecial::apply()
{
    QMap<QString, QString> committed = TabWidgetBase::apply();
    // Sent when the count moved it; the file takes it with this commit.
    if (const std::optional<int> moved = std::exchange(m_movedDisplayPos, {}))
        committed.insert(displayPosKey, QString::number(*moved));
    return committed;
}

void TabWidgetSpecial::onCheckBoxEnableCustomPhraseStateChanged(int state)
{
    onCheckBoxStateChanged(m_checkboxEnableCustomPhrase->objectName(), state);
    if (state == Qt::Unchecked)
        m_comboBoxCustomPhraseDisplayPos->setEnabled(false);
    else if (state == Qt::Checked)
        m_comboBoxCustomPhraseDisplayPos->setEnabled(true);
}

void TabWidgetSpecial::onComboBoxCustomPhraseDisplayPosCurrentIndexChanged(
    int index)
{
    if (!m_trackDisplayPosChanges)
        return;
    onChoiceChanged(m_comboBoxCustomPhraseDisplayPos->objectName(), index,
                    m_savedDisplayPos);
}
