#include "store/LogStore.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace store;

// A full disk under the test's directory: write() and fdatasync() are defined
// here, ahead of the C library, so Qt's own calls come through them.
namespace {
std::atomic<long long> g_free{-1}; // bytes still free; -1: the disk is not full
std::atomic<bool> g_failSync{false};
char g_dir[PATH_MAX];

bool onFullDisk(int fd)
{
    if (g_free.load() < 0 && !g_failSync.load())
        return false;
    char link[32], target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    return n > 0 && std::strncmp(target, g_dir, std::strlen(g_dir)) == 0;
}
} // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size)
{
    static const auto real =
        reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(::dlsym(RTLD_NEXT, "write"));
    if (onFullDisk(fd) && g_free.load() >= 0) {
        const long long granted = std::min<long long>(g_free.load(), static_cast<long long>(size));
        if (granted == 0) {
            errno = ENOSPC;
            return -1;
        }
        g_free -= granted;
        return real(fd, data, size_t(granted));
    }
    return real(fd, data, size);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fdatasync"));
    if (onFullDisk(fd) && g_failSync.load()) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd);
}

class TestStoreFaults : public QObject
{
    Q_OBJECT

private slots:
    void fullDiskLeavesTheOldLog_data();
    void fullDiskLeavesTheOldLog();
    void killedWhileSavingLeavesOneWholeLog();
};

void TestStoreFaults::fullDiskLeavesTheOldLog_data()
{
    QTest::addColumn<long long>("freeBytes");
    QTest::addColumn<bool>("foundAtSync");
    QTest::newRow("no byte free") << 0LL << false;
    QTest::newRow("one byte short") << 22LL << false;
    QTest::newRow("found only at the sync") << -1LL << true;
}

void TestStoreFaults::fullDiskLeavesTheOldLog()
{
    QFETCH(long long, freeBytes);
    QFETCH(bool, foundAtSync);
    QTemporaryDir dir;
    const LogStore store(dir.path());
    QVERIFY(store.write("Basic.LOG", {"1", "2", "3", "4", "5", "6"}).ok);
    std::snprintf(g_dir, sizeof g_dir, "%s/", qPrintable(dir.path()));
    g_free = freeBytes;
    g_failSync = foundAtSync;
    const StoreResult full = store.write("Basic.LOG", {"40", "1", "22", "37", "19", "250"});
    g_free = -1;
    g_failSync = false;
    QVERIFY(!full.ok);
    QVERIFY2(full.error.contains("space"), qPrintable(full.error));
    QFile log(dir.filePath("Basic.LOG"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Basic.LOG"});
}

void TestStoreFaults::killedWhileSavingLeavesOneWholeLog()
{
    QTemporaryDir dir;
    const LogStore store(dir.path());
    const std::array<std::string, kItemCount> a{"1", "1", "1", "1", "1", "1"};
    const std::array<std::string, kItemCount> b{"22222", "2", "2", "2", "2", "2"};
    QVERIFY(store.write("Basic.LOG", a).ok);
    const QByteArray forms[] = {QByteArray::fromStdString(LogFormat::saveForm(a)),
                                QByteArray::fromStdString(LogFormat::saveForm(b))};
    QRandomGenerator random(3);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int i = 0;; ++i)
                store.write("Basic.LOG", i % 2 ? a : b);
        }
        ::usleep(random.bounded(200, 3000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        QFile log(dir.filePath("Basic.LOG"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray bytes = log.readAll();
        QVERIFY2(bytes == forms[0] || bytes == forms[1], bytes.toPercentEncoding().constData());
    }
}

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "tst_StoreFaults.moc"
