#include "platform/FileSync.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace FileSync {
namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

// EINVAL, here and for the folder: the file system has no sync to be had.
QString flushData(int handle)
{
    return ::fdatasync(handle) != 0 && errno != EINVAL ? systemReason(errno) : QString();
}

QString flushFolder(const QString& path)
{
    const int dir = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int error = dir < 0 || ::fsync(dir) != 0 ? errno : 0;
    if (dir >= 0)
        ::close(dir);
    return error == 0 || error == EINVAL ? QString() : systemReason(error);
}

QString folderReason()
{
    return systemReason(EISDIR);
}

QString deniedReason()
{
    return systemReason(EACCES);
}

} // namespace FileSync
