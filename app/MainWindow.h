// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_MAINWINDOW_H
#define QUILMO_MAINWINDOW_H

#include <QMainWindow>

/// @brief The fixed-size top-level window around the settings container.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
};

#endif
