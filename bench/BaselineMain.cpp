#include "BaselineWindow.h"

#include <QApplication>

// The same start as the program's main(), with the bare window in its place.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    BaselineWindow window;
    window.start();
    return app.exec();
}
