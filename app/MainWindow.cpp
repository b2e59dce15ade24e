// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/MainWindow.h"

#include "app/MainWidget.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace
{
const QSize windowSize(600, 400);
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    auto *widget = new MainWidget(nullptr, MainWidget::Build::FirstPageFirst);
    // The later pages may need more room at a large font.
    connect(widget, &MainWidget::remainingPagesAdded, this,
            &MainWindow::fixSizeToContent);
    setCentralWidget(widget);
    setWindowTitle(tr("墨岚拼音输入法设置"));
    fixSizeToContent();
}

void MainWindow::fixSizeToContent()
{
    // Never beyond the screen: 确定 and 应用 must stay within reach.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableSize() : minimumSizeHint();
    const QSize size = windowSize.expandedTo(minimumSizeHint()).boundedTo(room);
    setMinimumSize(size);
    setMaximumSize(size);
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange ||
        event->type() == QEvent::StyleChange)
        fixSizeToContent();
}
