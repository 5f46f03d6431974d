#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// The fixed colours both windows are drawn in.
namespace WidgetColours {

// The face of captions and of the About box.
inline const QColor kGrey(192, 192, 192);

inline void set(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace WidgetColours
