// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/MainWindow.h"

#include "app/MainWidget.h"

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setCentralWidget(new MainWidget(nullptr));
    setMinimumSize(600, 400);
    setMaximumSize(600, 400);
    setWindowTitle(QStringLiteral("墨岚拼音输入法设置"));
}
