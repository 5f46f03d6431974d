#include "BaselineWindow.h"

#include <QMenuBar>

BaselineWindow::BaselineWindow()
{
    setObjectName(QStringLiteral("baseline"));
    QMenuBar* bar = menuBar();
    bar->addMenu(QStringLiteral("&File"));
    bar->addMenu(QStringLiteral("&Options"));
    bar->addMenu(QStringLiteral("&Help"));
    // The program's client area, 9390 by 4620 twips at 15 to the pixel, below the bar.
    resize(626, 308 + bar->sizeHint().height());
}

void BaselineWindow::start()
{
    show();
}
