#pragma once

#include <QMainWindow>

// The yardstick for start-up time and memory: a bare main window as large as the
// program's, with a menu bar of three menus and nothing else.
class BaselineWindow : public QMainWindow
{
public:
    BaselineWindow();

    // Shows the window, as MainWindow::start() does the program's.
    void start();
};
