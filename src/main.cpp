#include "ui/MainWindow.h"
#include "ui/ProgramFont.h"
#include "ui/ProgramIcon.h"
#ifdef Q_OS_UNIX
#include "ui/TerminationSignals.h"
#endif

#include <QApplication>

int main(int argc, char* argv[])
{
    ProgramFont::chooseEngine();
    QApplication app(argc, argv);
    // Wayland compositors find the menu entry, and with it the icon, by this name.
    QApplication::setDesktopFileName(QStringLiteral("com.example.Zoredev"));
    QApplication::setWindowIcon(ProgramIcon::icon());
    ProgramFont::install();
    MainWindow window;
#ifdef Q_OS_UNIX
    TerminationSignals ending;
    QObject::connect(&ending, &TerminationSignals::received, &window, &MainWindow::endOnSignal);
#endif
    window.start();
    return app.exec();
}
