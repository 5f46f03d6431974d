#include "ui/ProgramIcon.h"

QIcon ProgramIcon::icon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/zoredev-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/zoredev-32.png"), QSize(32, 32));
    return icon;
}
