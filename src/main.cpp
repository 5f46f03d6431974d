#include "platform/Desktop.h"
#include "platform/SessionEnd.h"
#include "ui/MainWindow.h"
#include "ui/ProgramFont.h"
#include "ui/ProgramIcon.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Desktop::prepareApplication();
    QApplication app(argc, argv);
    // Wayland compositors find the menu entry, and with it the icon, by this name.
    QApplication::setDesktopFileName(QStringLiteral("com.example.Zoredev"));
    QApplication::setWindowIcon(ProgramIcon::icon());
    ProgramFont::install();
    MainWindow window;
    SessionEnd ending;
    QObject::connect(&ending, &SessionEnd::terminationRequested, &window, &MainWindow::endOnSignal);
    window.start();
    return app.exec();
}
