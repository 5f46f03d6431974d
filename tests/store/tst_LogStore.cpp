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
// is full, holds a write up once or fails a directory's sync: write(), fdatasync() and
// fsync() are defined here, ahead of the C library, so Qt's own calls come through them.
// The lock file is left alone: a lock that cannot be written is another story.
namespace {
constexpr int None = 0, Full = 1, FullAtSync = 2, HeldUp = 3, DirSync = 4;
} // namespace
#ifndef Q_OS_WIN
namespace {
std::atomic<int> g_fault{None};
std::atomic<long long> g_left{0}; // bytes written before a full disk or a hold-up shows
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
    const bool full = underTest(fd, Full);
    if (full || underTest(fd, HeldUp)) {
        if (g_left == 0) {
            errno = full ? ENOSPC : EAGAIN;
            g_fault = full ? Full : None;
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

// What the window's tests do not reach: the reader's corners, the store's own answers,
// saves that meet a full disk, are cut short or meet another window's log or lock.
class TestLogStore : public QObject
{
    Q_OBJECT

private slots:
    // The caption each item gives, one that is bad marked with a *, one missing with **.
    void readsWhatAFileHolds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("items");
        QTest::newRow("blanks and number forms")
            << QByteArray(" 12 \n\t2.5\t\n1e3\n-7\n+007\n1e308\n8\n") << "12 2.5 1000 -7 7 1E+308";
        QTest::newRow("three items") << QByteArray("4\r\n1\r\n22\r\n") << "4 1 22 0** 0** 0**";
        // Notepad's byte-order mark starts the file; anywhere else it spoils its item.
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF 4\r\n\xEF\xBB\xBF"
                                                       "1\r\n")
                                         << "4 0* 0** 0** 0** 0**";
        QTest::newRow("empty") << QByteArray() << "0** 0** 0** 0** 0** 0**";
        QTest::newRow("text and blank lines")
            << QByteArray("abc\n\n1,5\n  \n9\n\"5\"\n") << "0* 0* 0* 0* 9 0*";
        // A caption whose 15 digits would read back beyond the range is refused too.
        QTest::newRow("beyond the range")
            << QByteArray("1e999\n-1e999\n1.7976931348623157e308\n1\n1\n1\n") << "0* 0* 0* 1 1 1";
        // Only the first 64 KiB are read: a line still running there is cut, not a number.
        QTest::newRow("past the read limit")
            << "5\n" + QByteArray(LogFormat::kReadLimit, '7') << "5 0* 0** 0** 0** 0**";
        QTest::newRow("unended at the read limit")
            << "5\n" + QByteArray(LogFormat::kReadLimit - 3, '0') + "7"
            << "5 7 0** 0** 0** 0**";
        QTest::newRow("ended just past the read limit")
            << "5\n" + QByteArray(LogFormat::kReadLimit - 3, '0') + "7\n"
            << "5 0* 0** 0** 0** 0**";
    }
    void readsWhatAFileHolds()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        writeFile(dir.filePath("basic.log"), bytes); // found in any letter case
        const ReadResult result = LogStore(dir.path()).read("Basic.LOG");
        QCOMPARE(result.status, ReadResult::Status::Read);
        QStringList items;
        for (std::size_t i = 0; i < tally::kDenominationCount; ++i)
            items << QString::fromStdString(result.contents.captions[i]) +
                         (i >= result.contents.itemsFound ? "**"
                          : result.contents.valid[i]      ? ""
                                                          : "*");
        QTEST(items.join(' '), "items");
        QCOMPARE(result.contents.allValid(), !items.join(' ').contains('*'));
        QCOMPARE(readFile(dir.filePath("basic.log")), bytes);
    }

    void aBadItemIsQuotedReadablyAndBriefly()
    {
        const LogContents quoted = LogFormat::parse("o k\x01\n" + std::string(50, 'x') + "\n" +
                                                    std::string(40, 'y') + "\n");
        QCOMPARE(quoted.rawItems[0], "o k?");
        QCOMPARE(quoted.rawItems[1], std::string(40, 'x') + "...");
        QCOMPARE(quoted.rawItems[2], std::string(40, 'y'));
    }

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
        row("changed on disk only", "1", "1", "9", "9");
        row("both: the sum", "4", "10", "8", "14");
        row("damaged on disk, as 0", "2", "5", "abc", "3");
        row("negative on disk", "2", "5", "-3", "0");
        row("1E+15 forms", "2", "5", "999999999999999", "1E+15");
        row("read as no number shown, as 0", "5", "1.79769313486232E+308", "8", "3");
        row("beyond the range", "0", "1E+308", "1.5e308", "1.79769313486231E+308");
        row("a difference beyond the range", "-1E+308", "1E+308", "-5e307", "1.5E+308");
        row("deleted here", "none", "2", "1", "3");
        row("deleted meanwhile", "4", "9", "none", "5");
        row("never a log", "none", "7", "none", "7");
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

    // Another window's lock is waited for while that window holds it, and only so long.
    // A lock of this process's own is as live as another's: a holder is told apart from
    // a dead one by its open, locked file, not by its process.
    void waitsForALiveLock_data()
    {
        QTest::addColumn<bool>("letGo"); // while the save waits
        QTest::newRow("let go while waited for") << true;
        QTest::newRow("held throughout") << false;
    }
    void waitsForALiveLock()
    {
        QFETCH(bool, letGo);
        QTemporaryDir dir;
        writeFile(dir.filePath("Basic.LOG"), form("1"));
        QLockFile other(dir.filePath("Basic.LOG.lock"));
        QVERIFY(other.tryLock());
        const LogStore store(dir.path());
        auto save =
            std::async(std::launch::async, [&] { return store.saveLog(stateOf("1"), six("2")); });
        if (letGo) {
            QVERIFY2(save.wait_for(std::chrono::milliseconds(300)) == std::future_status::timeout,
                     "saved while the other window held the lock");
            other.unlock();
        }
        const SaveResult result = save.get();
        other.unlock();
        QCOMPARE(result.error,
                 letGo ? QString() : "another program keeps " + other.fileName() + " locked");
        QCOMPARE(readFile(dir.filePath("Basic.LOG")), form(letGo ? "2" : "1"));
        QCOMPARE(QFile::exists(other.fileName()), false);
    }

    // A lock whose holder died before naming itself is stale once a little old: dated ten
    // seconds back, well short of Qt's own default.
    void breaksAnOldUnnamedLock()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("Basic.LOG"), form("1"));
        QFile lock(dir.filePath("Basic.LOG.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-10),
                                 QFileDevice::FileModificationTime));
        lock.close();
        QCOMPARE(LogStore(dir.path()).saveLog(stateOf("1"), six("2")).error, QString());
        QCOMPARE(readFile(dir.filePath("Basic.LOG")), form("2"));
        QVERIFY(!lock.exists());
    }

    // A save that fails leaves the old log whole and nothing beside it; one held up goes
    // on. The directory is synced with the new log in place, never before the rename.
    void savesThroughFaults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<qlonglong>("bytes"); // written before a full disk or hold-up shows
        QTest::addColumn<int>("given");       // by a directory sync that fails
        QTest::addColumn<int>("reported");    // the reason the save gives, 0 for none
        QTest::addColumn<bool>("replaced");
        QTest::newRow("no byte free") << int(Full) << 0LL << 0 << ENOSPC << false;
        QTest::newRow("one byte short") << int(Full) << 17LL << 0 << ENOSPC << false;
        QTest::newRow("full only at the sync") << int(FullAtSync) << 0LL << 0 << ENOSPC << false;
        QTest::newRow("held up once") << int(HeldUp) << 10LL << 0 << 0 << true;
        QTest::newRow("held up after a byte") << int(HeldUp) << 1LL << 0 << 0 << true;
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
        QCOMPARE(result.status,
                 reported ? SaveResult::Status::Failed : SaveResult::Status::Written);
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
