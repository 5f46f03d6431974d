#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

#include <initializer_list>
#include <utility>

// The fixed colours both windows are drawn in.
namespace WidgetColours {

// The face of captions and of the About box.
inline const QColor kGrey(192, 192, 192);

inline void set(QWidget* widget,
                std::initializer_list<std::pair<QPalette::ColorRole, QColor>> colours)
{
    QPalette palette = widget->palette();
    for (const auto& [role, colour] : colours)
        palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace WidgetColours
