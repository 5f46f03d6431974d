#include "FullDisk.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace {

// Plain atomics, no locks: write() may be called from any thread, and from the
// dynamic loader before any constructor of this library has run.
std::atomic<bool> g_armed{false};
std::atomic<bool> g_foundAtSync{false};
std::atomic<long long> g_freeBytes{0};
std::atomic<long long> g_refusals{0};
char g_directory[PATH_MAX];

template <typename Function> Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

using WriteFunction = ssize_t (*)(int, const void*, size_t);
using SyncFunction = int (*)(int);

bool isInDirectory(int fd)
{
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    target[length] = '\0';
    const std::size_t prefix = std::strlen(g_directory);
    return std::strncmp(target, g_directory, prefix) == 0 && target[prefix] == '/';
}

bool strikes(int fd)
{
    return g_armed.load(std::memory_order_acquire) && isInDirectory(fd);
}

int refuse()
{
    g_refusals.fetch_add(1);
    errno = ENOSPC;
    return -1;
}

// The bytes of this write that still fit; 0 when the disk is full.
size_t take(size_t wanted)
{
    long long free = g_freeBytes.load();
    long long granted = 0;
    do {
        granted = std::min<long long>(free, static_cast<long long>(wanted));
    } while (granted > 0 && !g_freeBytes.compare_exchange_weak(free, free - granted));
    return static_cast<size_t>(std::max<long long>(granted, 0));
}

int syncUnlessFull(SyncFunction real, int fd)
{
    if (strikes(fd) && g_foundAtSync.load())
        return refuse();
    return real(fd);
}

} // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size)
{
    static const auto real = next<WriteFunction>("write");
    if (size > 0 && strikes(fd) && !g_foundAtSync.load()) {
        size = take(size);
        if (size == 0)
            return refuse();
    }
    return real(fd, data, size);
}

extern "C" int fsync(int fd)
{
    static const auto real = next<SyncFunction>("fsync");
    return syncUnlessFull(real, fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = next<SyncFunction>("fdatasync");
    return syncUnlessFull(real, fd);
}

FullDisk::FullDisk(const QString& directory, qint64 freeBytes, Found found)
{
    // The links in /proc name the file by its real path.
    const QByteArray path = QFile::encodeName(QFileInfo(directory).canonicalFilePath());
    qstrncpy(g_directory, path.constData(), sizeof g_directory);
    g_freeBytes = freeBytes;
    g_foundAtSync = found == Found::AtSync;
    g_refusals = 0;
    g_armed.store(true, std::memory_order_release);
}

FullDisk::~FullDisk()
{
    g_armed.store(false, std::memory_order_release);
}

qint64 FullDisk::refusals() const
{
    return g_refusals.load();
}
