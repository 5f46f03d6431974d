#include "ui/ProgramIcon.h"

#include "ui/DeferredIconEngine.h"

QIcon ProgramIcon::icon()
{
    // Platforms without window icons, such as the offscreen one, never decode the
    // pictures; the others do so when the window is first shown.
    return DeferredIconEngine::icon([] {
        QIcon icon;
        icon.addFile(QStringLiteral(":/icons/zoredev-16.png"), QSize(16, 16));
        icon.addFile(QStringLiteral(":/icons/zoredev-32.png"), QSize(32, 32));
        return icon;
    });
}
