// SPDX-License-Identifier: GPL-2.0-or-later
// The yardstick of the start-up benchmark: a bare Qt 5 window of the
// settings tool's size with its four tabs and four buttons, nothing behind
// them, and Qt's defaults for everything else.
#include <QApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    auto *tabs = new QTabWidget;
    for (const char *name : {"常用", "词库", "高级", "关于"})
        tabs->addTab(new QWidget, QString::fromUtf8(name));
    auto *buttons = new QHBoxLayout;
    for (const char *text : {"恢复本页默认设置", "确定", "取消", "应用"})
        buttons->addWidget(new QPushButton(QString::fromUtf8(text)));
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(tabs);
    layout->addLayout(buttons);

    QMainWindow window;
    window.setCentralWidget(central);
    window.setFixedSize(600, 400);
    window.setWindowTitle(QStringLiteral("minimal window"));
    window.show();
    return app.exec();
}
