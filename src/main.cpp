#include "ui/FontConfigWarmUp.h"
#include "ui/MainWindow.h"
#include "ui/ProgramFont.h"
#include "ui/ProgramStyle.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    fontConfig.finish();
    ProgramStyle::install();
    ProgramFont::install();
    MainWindow window;
    window.start();
    return app.exec();
}
