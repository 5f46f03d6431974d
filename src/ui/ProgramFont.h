#pragma once

#include <QFont>

// The face the window's layout was drawn for, an 8-point system font of 11
// pixels, and its slightly tighter setting for the grid's row captions and
// headings, which do not all fit their cells otherwise.
namespace ProgramFont {

QFont regular();
QFont gridCaption();

// Makes the regular face the application's, so message boxes and dialogs
// speak in it too. Called before the first widget is built: a widget built in
// the default face loads that face for nothing.
void install();

} // namespace ProgramFont
