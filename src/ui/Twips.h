#pragma once

#include <QRect>

// The layouts are drawn in twips, 15 to a pixel at 96 dpi; Qt scales these
// device-independent pixels for denser screens itself.
namespace twips {

constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace twips
