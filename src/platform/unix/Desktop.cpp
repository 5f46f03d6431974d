#include "platform/Desktop.h"

// Qt's own choices serve here, and the window manager tells the frame only once the
// window is mapped.
void Desktop::prepareApplication() {}

QStringList Desktop::layoutFontFamilies()
{
    return {QStringLiteral("Liberation Sans")};
}

void Desktop::prepareFrame(QWidget*) {}
