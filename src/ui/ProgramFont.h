#pragma once

#include <QFont>

// The faces the window's layout was drawn for: an 8-point system font of 11
// pixels, and a narrow one for the grid's row captions and headings, which do
// not fit their cells at that size otherwise.
class ProgramFont
{
public:
    static QFont regular();
    static QFont narrow();

    // Makes the regular face the application's, so message boxes and dialogs
    // speak in it too. Called before the first widget is built: a widget built in
    // the default face loads that face for nothing.
    static void install();
};
