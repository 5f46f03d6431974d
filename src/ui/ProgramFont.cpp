#include "ui/ProgramFont.h"

#include "platform/Desktop.h"

#include <QApplication>

// Full hinting puts every glyph on whole pixels, as the bitmap font the layout was
// drawn for had them, and renders each glyph once; lighter hinting renders it again
// at each sub-pixel offset it lands on, which made up much of the first paint.
QFont ProgramFont::regular()
{
    QFont font;
    font.setFamilies(Desktop::layoutFontFamilies());
    font.setPixelSize(11);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont ProgramFont::gridCaption()
{
    // A sixth of a pixel less between letters lets the longest captions ("Half
    // Dollar Coins:", "Percentages") fit their cells. Letter spacing is laid out
    // by Qt, not by the font, so these captions share the regular face's glyphs; a
    // narrow face instead made the first paint load a second font and render every
    // glyph of the captions again.
    QFont font = regular();
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.17);
    return font;
}

void ProgramFont::install()
{
    QApplication::setFont(regular());
}
