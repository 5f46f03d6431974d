#include "platform/Desktop.h"

#include <QWidget>

void Desktop::prepareApplication()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
}

QStringList Desktop::layoutFontFamilies()
{
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
}

// Windows knows the frame as soon as the window exists.
void Desktop::prepareFrame(QWidget* window)
{
    window->winId();
}
