#pragma once

#include <QStringList>

class QWidget;

// What differs between the desktops the program's windows appear on.
namespace Desktop {

// Called before the application object exists. On Windows the font engine becomes
// FreeType's, whose full hinting the layout was drawn with: GDI draws the captions
// wider than they measure, cutting "Half Dollar Coins:".
void prepareApplication();

// The faces the layout was drawn for, best first: Arial's widths, in Liberation Sans
// where Arial is missing (as under Wine).
QStringList layoutFontFamilies();

// Lets the window's frame be known before it is first shown, where the system
// can tell it, so that the frame, title bar included, is what gets centred.
void prepareFrame(QWidget* window);

} // namespace Desktop
