#include "store/LogStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <atomic>
#include <climits>
#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace store;

// A disk under the test's directory that fills up, finds out only at the sync that it
// is full, or holds a write up once: write() and fdatasync() are defined here, ahead
// of the C library, so Qt's own calls come through them.
namespace {
std::atomic<long long> g_free{-1};  // bytes still free; -1: any number
std::atomic<long long> g_stall{-1}; // bytes written before one call fails for now
std::atomic<bool> g_failSync{false};
char g_dir[PATH_MAX];

bool underTest(int fd)
{
    if (!g_dir[0])
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
    if (underTest(fd)) {
        if (g_stall == 0) {
            g_stall = -1;
            errno = EAGAIN;
            return -1;
        }
        if (g_stall > 0) {
            size = std::min<size_t>(size, size_t(g_stall));
            g_stall -= size;
        }
        if (g_free >= 0) {
            size = std::min<size_t>(size, size_t(g_free));
            if (size == 0) {
                errno = ENOSPC;
                return -1;
            }
            g_free -= size;
        }
    }
    return real(fd, data, size);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fdatasync"));
    if (g_failSync && underTest(fd)) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd);
}

class TestStoreFaults : public QObject
{
    Q_OBJECT

private slots:
    void aSaveIsWholeOrNotAtAll_data()
    {
        QTest::addColumn<long long>("freeBytes");
        QTest::addColumn<long long>("stall");
        QTest::addColumn<bool>("failSync");
        QTest::addColumn<bool>("saved");
        QTest::newRow("no byte free") << 0LL << -1LL << false << false;
        QTest::newRow("one byte short") << 22LL << -1LL << false << false;
        QTest::newRow("full only at the sync") << -1LL << -1LL << true << false;
        QTest::newRow("held up once") << -1LL << 10LL << false << true;
    }
    void aSaveIsWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        const LogStore store(dir.path());
        QVERIFY(store.write("Basic.LOG", {"1", "2", "3", "4", "5", "6"}).ok);
        std::snprintf(g_dir, sizeof g_dir, "%s/", qPrintable(dir.path()));
        QFETCH(long long, freeBytes);
        QFETCH(long long, stall);
        QFETCH(bool, failSync);
        g_free = freeBytes;
        g_stall = stall;
        g_failSync = failSync;
        const StoreResult result = store.write("Basic.LOG", {"40", "1", "22", "37", "19", "250"});
        g_dir[0] = '\0';
        g_free = g_stall = -1;
        g_failSync = false;
        QFETCH(bool, saved);
        QVERIFY2(result.ok == saved && result.error.contains("space") != saved,
                 qPrintable(result.error));
        QCOMPARE(readFile(dir.filePath("Basic.LOG")),
                 saved ? "40\r\n1\r\n22\r\n37\r\n19\r\n250\r\n" : "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Basic.LOG"});
    }

    void killedWhileSavingLeavesOneWholeLog()
    {
        QTemporaryDir dir;
        const LogStore store(dir.path());
        const std::array<std::string, kItemCount> a{"1", "1", "1", "1", "1", "1"};
        const std::array<std::string, kItemCount> b{"22222", "2", "2", "2", "2", "2"};
        QVERIFY(store.write("Basic.LOG", a).ok);
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
            const QByteArray bytes = readFile(dir.filePath("Basic.LOG"));
            QVERIFY2(bytes == QByteArray::fromStdString(LogFormat::saveForm(a)) ||
                         bytes == QByteArray::fromStdString(LogFormat::saveForm(b)),
                     bytes.toPercentEncoding().constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "tst_StoreFaults.moc"
