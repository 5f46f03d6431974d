#include "ui/ProgramStyle.h"

#include "ui/DeferredIconEngine.h"

#include <QApplication>
#include <QPointer>

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                 const QWidget* widget) const
{
    if (which != SP_ToolBarHorizontalExtensionButton && which != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(which, option, widget);
    return DeferredIconEngine::icon([base = QPointer<QStyle>(baseStyle()), which] {
        return base ? base->standardIcon(which) : QIcon();
    });
}

void ProgramStyle::install()
{
    QApplication::setStyle(new ProgramStyle);
}
