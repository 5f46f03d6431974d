#include "platform/SystemInformation.h"

#include <QProcess>
#include <QStandardPaths>

// The desktops' own tools, best first, found on PATH.
bool SystemInformation::start()
{
    for (const char* name : {"kinfocenter", "gnome-system-monitor", "hardinfo2", "hardinfo"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty())
            return QProcess::startDetached(found, {});
    }
    return false;
}
