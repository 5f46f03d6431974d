#pragma once

#include <QProxyStyle>

// The platform's own style, except that a menu bar's overflow button gets its
// picture only when it is first drawn: every menu bar builds that button, and
// the window's three menus never overflow.
class ProgramStyle : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

    // Before the first widget is built, so the menu bar is built under it.
    static void install();
};
