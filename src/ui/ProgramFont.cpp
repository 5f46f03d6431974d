#include "ui/ProgramFont.h"

#include <QApplication>

namespace {

// Full hinting puts every glyph on whole pixels, as the bitmap font the layout was
// drawn for had them, and renders each glyph once; lighter hinting renders it again
// at each sub-pixel offset it lands on, which made up much of the first paint.
QFont layoutFont(const QStringList& families)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(11);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace

QFont ProgramFont::regular()
{
#ifdef Q_OS_WIN
    // Windows has Arial, of which Liberation Sans is a copy with the same widths:
    // Wine has only the copy, and without it every caption was set in a wider face.
    return layoutFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
#else
    return layoutFont({QStringLiteral("Liberation Sans")});
#endif
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

void ProgramFont::chooseEngine()
{
#ifdef Q_OS_WIN
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
#endif
}
