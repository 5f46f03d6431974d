#include "ui/MainWindow.h"
#include "ui/ProgramFont.h"
#include "ui/ProgramStyle.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ProgramStyle::install();
    ProgramFont::install();
    MainWindow window;
    window.start();
    return app.exec();
}
