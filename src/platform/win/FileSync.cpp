#include "platform/FileSync.h"

#include <io.h>
#include <windows.h>

// The reasons are worded as QFile words its own, from the system's message.
namespace FileSync {

QString flushData(int handle)
{
    const auto file = reinterpret_cast<HANDLE>(_get_osfhandle(handle));
    if (file == INVALID_HANDLE_VALUE)
        return qt_error_string(ERROR_INVALID_HANDLE);
    return FlushFileBuffers(file) ? QString() : qt_error_string(int(GetLastError()));
}

// NTFS journals its folders itself; Windows has no call that flushes one.
QString flushFolder(const QString&)
{
    return {};
}

// Windows refuses to open a folder as a file as it refuses a file the user may not open.
QString folderReason()
{
    return qt_error_string(ERROR_ACCESS_DENIED);
}

QString deniedReason()
{
    return qt_error_string(ERROR_ACCESS_DENIED);
}

} // namespace FileSync
