#pragma once

#include <QFont>

// The face the window's layout was drawn for, an 8-point system font of 11
// pixels, and its slightly tighter setting for the grid's row captions and
// headings, which do not all fit their cells otherwise.
class ProgramFont
{
public:
    static QFont regular();
    static QFont gridCaption();

    // Makes the regular face the application's, so message boxes and dialogs
    // speak in it too. Called before the first widget is built: a widget built in
    // the default face loads that face for nothing.
    static void install();
    // Called before the application is made: on Windows, the font engine is
    // FreeType's, whose full hinting the layout was drawn with; GDI's draws the
    // captions wider than they measure, cutting "Half Dollar Coins:".
    static void chooseEngine();
};
