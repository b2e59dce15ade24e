// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/PageHelpers.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QVariant>

#include <limits>

namespace
{
/// A style sheet would draw the same nothing, but restyles every control
/// in the group, at a cost the first frame notices.
class BareGroupBox : public QGroupBox
{
public:
    BareGroupBox() { removeFrameRoom(); }
    QSize minimumSizeHint() const override
    {
        return QWidget::minimumSizeHint(); // no room for a title either
    }

protected:
    void paintEvent(QPaintEvent * /*event*/) override {}
    void changeEvent(QEvent *event) override
    {
        // A new font or style makes room for the frame again.
        QGroupBox::changeEvent(event);
        removeFrameRoom();
    }

private:
    void removeFrameRoom() { setContentsMargins(0, 0, 0, 0); }
};
} // namespace

namespace PageHelpers
{
QLabel *headingLabel(const QString &text)
{
    auto *label = new QLabel(text);
    QFont font = label->font();
    font.setWeight(QFont::Bold);
    label->setFont(font);
    return label;
}

void addTrailingSpacer(QBoxLayout *row)
{
    row->addItem(
        new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Fixed));
}

QHBoxLayout *rowWithSpacer(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QHBoxLayout;
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    addTrailingSpacer(row);
    return row;
}

QGroupBox *namedRow(const QString &name, QHBoxLayout *row)
{
    auto *group = new BareGroupBox;
    group->setAccessibleName(name);
    row->setContentsMargins(0, 0, 0, 0);
    group->setLayout(row);
    return group;
}

QLabel *buddyLabel(const QString &text, QWidget *control)
{
    auto *label = new QLabel(text);
    // Screen readers name the control after the label it is "labelled by";
    // without one a combo box was announced by its value alone ("8").
    label->setBuddy(control);
    return label;
}

void showFailure(QWidget *parent, const QString &title, const QString &text,
                 const QString &details)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::NoButton,
                    parent);
    box.setInformativeText(details);
    usePlainText(box);
    box.addButton(QCoreApplication::translate("PageHelpers", "确定"),
                  QMessageBox::AcceptRole);
    box.exec();
}

void usePlainText(QMessageBox &box)
{
    box.setTextFormat(Qt::PlainText);
    // setTextFormat() leaves the label of the informative text alone, and
    // stops the text's own from wrapping a long path.
    const auto labels = box.findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->objectName() == QLatin1String("qt_msgbox_label") ||
            label->objectName() ==
                QLatin1String("qt_msgbox_informativelabel")) {
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
        }
    }
}

void addFinalSpacer(QBoxLayout *layout)
{
    layout->addItem(
        new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Expanding));
}

std::optional<int> toInt(const QVariant &value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

std::optional<int> toCandidateCount(const QVariant &value)
{
    const std::optional<int> count = toInt(value);
    if (!count || *count < 1 || *count > maxCandidateCount)
        return std::nullopt;
    return count;
}

std::optional<int> toCandidateIndex(const QVariant &value)
{
    const std::optional<int> count = toInt(value);
    if (!count || *count == std::numeric_limits<int>::min())
        return std::nullopt;
    return *count - 1;
}

} // namespace PageHelpers
