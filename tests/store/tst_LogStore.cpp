#include "store/LogStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <climits>
#include <future>
#ifndef Q_OS_WIN
#include <dlfcn.h>
#include <unistd.h>
#endif

using namespace store;

// A disk under the test's directory that fills up, finds out only at the sync that it
// is full or fails a directory's sync: write(), fdatasync() and fsync() are defined
// here, ahead of the C library, so Qt's own calls come through them.
// The lock file is left alone: a lock that cannot be written is another story.
namespace {
constexpr int None = 0, Full = 1, FullAtSync = 2, DirSync = 3;
} // namespace
#ifndef Q_OS_WIN
namespace {
std::atomic<int> g_fault{None};
std::atomic<long long> g_left{0}; // bytes written before the disk is full
int g_dirSyncError = 0;           // what a failing directory sync gives
char g_dir[PATH_MAX];             // with a trailing '/'
QByteArray g_atDirSync;           // what the log held when its directory was synced

std::string target(int fd)
{
    char link[32], path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    return std::string(path, std::max<ssize_t>(::readlink(link, path, sizeof path), 0));
}

bool underTest(int fd, int fault)
{
    const std::string path = target(fd);
    return g_fault == fault && path.starts_with(g_dir) && !path.ends_with(".lock");
}
} // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size)
{
    static const auto real =
        reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(::dlsym(RTLD_NEXT, "write"));
    if (underTest(fd, Full)) {
        if (g_left == 0) {
            errno = ENOSPC;
            return -1;
        }
        size = std::min<size_t>(size, size_t(g_left));
        g_left -= size;
    }
    return real(fd, data, size);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fdatasync"));
    if (underTest(fd, FullAtSync)) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd);
}

extern "C" int fsync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    if (target(fd) + '/' != g_dir)
        return real(fd);
    g_atDirSync = readFile(QString::fromLocal8Bit(g_dir) + "Basic.LOG");
    errno = g_dirSyncError;
    return g_fault.exchange(None) == DirSync ? -1 : real(fd);
}
#endif

namespace {
Captions six(const QString& item)
{
    Captions captions;
    captions.fill(item.toStdString());
    return captions;
}

// What a log of six alike reads as; "none": no log at all.
LogState stateOf(const QString& item)
{
    return item == "none" ? LogState() : LogFormat::parse(LogFormat::saveForm(six(item))).captions;
}

QByteArray form(const QString& item)
{
    return QByteArray::fromStdString(LogFormat::saveForm(six(item)));
}

QString textOf(const LogState& state)
{
    return state ? QString::fromStdString(LogFormat::saveForm(*state)).replace("\r\n", " ")
                 : "none";
}
} // namespace

// What the window's tests do not reach: the merge's corners,
// saves that meet a full disk, are cut short or meet another window's log or lock.
class TestLogStore : public QObject
{
    Q_OBJECT

private slots:
    // What a window writes over another's save: neither side's finds are lost.
    void merges_data()
    {
        QTest::addColumn<QString>("base"); // what the window last read or wrote
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("merged");
        const auto row = [](const char* name, const char* base, const char* shown,
                            const char* onDisk, const char* merged) {
            QTest::newRow(name) << base << shown << onDisk << merged;
        };
        row("changed here only, as shown", "4", "Overflow", "4", "Overflow");
        row("both: the sum", "4", "10", "8", "14");
        row("damaged on disk, as 0", "2", "5", "abc", "3");
        row("beyond the range", "0", "1E+308", "1.5e308", "1.79769313486231E+308");
        row("a difference beyond the range", "-1E+308", "1E+308", "-5e307", "1.5E+308");
        row("below the range", "1E+308", "-1E+308", "-1E+308", "-1.79769313486231E+308");
        row("deleted here", "none", "2", "1", "3");
    }
    void merges()
    {
        QFETCH(QString, base);
        QFETCH(QString, shown);
        QFETCH(QString, onDisk);
        QFETCH(QString, merged);
        QCOMPARE(textOf(LogFormat::merged(stateOf(base), six(shown), stateOf(onDisk))),
                 textOf(six(merged)));
    }

    // Another window's lock is waited for while that window holds it, past the time
    // after which a lock whose holder is gone counts as stale. A lock of this process's
    // own is as live as another's: a holder is told apart from a dead one by its open,
    // locked file, not by its process.
    void waitsForALiveLock()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("Basic.LOG"), form("1"));
        QLockFile other(dir.filePath("Basic.LOG.lock"));
        QVERIFY(other.tryLock());
        const LogStore store(dir.path());
        auto save =
            std::async(std::launch::async, [&] { return store.saveLog(stateOf("1"), six("2")); });
        QVERIFY2(save.wait_for(std::chrono::milliseconds(1500)) == std::future_status::timeout,
                 "saved while the other window held the lock");
        other.unlock();
        QCOMPARE(save.get().error, QString());
        QCOMPARE(readFile(dir.filePath("Basic.LOG")), form("2"));
    }

    // A lock whose holder died before naming itself is stale once a little old: dated ten
    // seconds back, well short of Qt's own default. The log is replaced in whatever
    // letter case it was found.
    void breaksAnOldUnnamedLock()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("basic.log"), form("1"));
        QFile lock(dir.filePath("Basic.LOG.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-10),
                                 QFileDevice::FileModificationTime));
        lock.close();
        QCOMPARE(LogStore(dir.path()).saveLog(stateOf("1"), six("2")).error, QString());
        QCOMPARE(readFile(dir.filePath("basic.log")), form("2"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"basic.log"});
    }

    // A save that fails leaves the old log whole and nothing beside it; a short write
    // goes on to the system's reason. The directory is synced with the new log in place,
    // never before the rename.
    void savesThroughFaults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<qlonglong>("bytes"); // written before the disk is full
        QTest::addColumn<int>("given");       // by a directory sync that fails
        QTest::addColumn<int>("reported");    // the reason the save gives, 0 for none
        QTest::addColumn<bool>("replaced");
        QTest::newRow("no byte free") << int(Full) << 0LL << 0 << ENOSPC << false;
        QTest::newRow("one byte free") << int(Full) << 1LL << 0 << ENOSPC << false;
        QTest::newRow("one byte short") << int(Full) << 17LL << 0 << ENOSPC << false;
        QTest::newRow("full only at the sync") << int(FullAtSync) << 0LL << 0 << ENOSPC << false;
        QTest::newRow("directory sync failed") << int(DirSync) << 0LL << EIO << EIO << true;
        QTest::newRow("no directory sync to be had") << int(DirSync) << 0LL << EINVAL << 0 << true;
    }
    void savesThroughFaults()
    {
#ifdef Q_OS_WIN
        QSKIP("the faults are put in front of the C library's write(), which Windows' own "
              "file calls do not go through");
#else
        QFETCH(int, reported);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        writeFile(dir.filePath("Basic.LOG"), form("1"));
        std::snprintf(g_dir, sizeof g_dir, "%s/", qPrintable(dir.path()));
        QFETCH(qlonglong, bytes);
        QFETCH(int, given);
        QFETCH(int, fault);
        g_left = bytes;
        g_dirSyncError = given;
        g_atDirSync.clear();
        g_fault = fault;
        const SaveResult result = LogStore(dir.path()).saveLog(stateOf("1"), six("2"));
        g_fault = None;
        QCOMPARE(result.error, QString(reported ? std::strerror(reported) : ""));
        // What a read of the log gives back: the next save's expectation.
        QCOMPARE(textOf(result.onDisk), textOf(stateOf(replaced ? "2" : "1")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Basic.LOG"});
        QCOMPARE(readFile(dir.filePath("Basic.LOG")), form(replaced ? "2" : "1"));
        QCOMPARE(g_atDirSync, replaced ? form("2") : QByteArray());
#endif
    }
};

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_LogStore.moc"
