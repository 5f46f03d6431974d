// The bare Qt window Zoredev is measured against: a QMainWindow of the program's
// size with its three menus and nothing else, started as the program's main() does.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    QMenuBar* bar = window.menuBar();
    bar->addMenu(QStringLiteral("&File"));
    bar->addMenu(QStringLiteral("&Options"));
    bar->addMenu(QStringLiteral("&Help"));
    // The program's client area, 9390 by 4620 twips at 15 to the pixel, below the bar.
    window.resize(626, 308 + bar->sizeHint().height());
    window.show();
    return app.exec();
}
