// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/FirstFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QInputEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace
{
/// Watches every event of the application until the work has run.
class FirstFrameWatcher : public QObject
{
public:
    FirstFrameWatcher(QWidget *widget, std::function<void()> work)
        : QObject(widget), m_widget(widget), m_work(std::move(work))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (dynamic_cast<QInputEvent *>(event))
            run();
        // The widget's window may change until it shows: asked only now.
        else if (event->type() == QEvent::Expose &&
                 watched == m_widget->window()->windowHandle())
            // Queued behind the painting of this expose.
            QTimer::singleShot(0, this, &FirstFrameWatcher::run);
        return false;
    }

private:
    void run()
    {
        QCoreApplication::instance()->removeEventFilter(this);
        deleteLater();
        if (const auto work = std::exchange(m_work, nullptr))
            work();
    }

    QWidget *m_widget;
    std::function<void()> m_work;
};
} // namespace

void runAfterFirstFrame(QWidget *widget, std::function<void()> work)
{
    new FirstFrameWatcher(widget, std::move(work));
}
