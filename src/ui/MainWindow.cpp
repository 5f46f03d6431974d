#include "ui/MainWindow.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmZivuruz3Main"));
}

void MainWindow::start()
{
    show();
}
