// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_MAINWINDOW_H
#define QUILMO_MAINWINDOW_H

#include <QMainWindow>

/**
 * @brief The top-level window around the settings container.
 *
 * Fixed at 600 x 400, or larger when a large desktop font needs more room
 * for every label, but never larger than the screen; the user cannot
 * resize it either way.
 */
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

protected:
    /// A new desktop font may need another size.
    void changeEvent(QEvent *event) override;

private:
    void fixSizeToContent();
};

#endif
