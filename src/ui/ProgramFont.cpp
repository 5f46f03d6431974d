#include "ui/ProgramFont.h"

#include <QApplication>

namespace {

// Full hinting puts every glyph on whole pixels, as the bitmap font the layout was
// drawn for had them, and renders each glyph once; lighter hinting renders it again
// at each sub-pixel offset it lands on, which made up much of the first paint.
QFont layoutFont(const QString& family)
{
    QFont font(family);
    font.setPixelSize(11);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace

QFont ProgramFont::regular()
{
    return layoutFont(QStringLiteral("Liberation Sans"));
}

QFont ProgramFont::narrow()
{
    return layoutFont(QStringLiteral("Liberation Sans Narrow"));
}

void ProgramFont::install()
{
    QApplication::setFont(regular());
}
