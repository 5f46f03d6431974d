#include "store/LogStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>

#include <atomic>
#include <climits>
#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace store;

// A disk under the test's directory that fills up, finds out only at the sync that it
// is full, holds a write up once or fails a directory's sync: write(), fdatasync() and
// fsync() are defined here, ahead of the C library, so Qt's own calls come through them.
// The lock file is left alone: a lock that cannot be written is another story.
namespace {
constexpr int None = 0, Full = 1, FullAtSync = 2, HeldUp = 3, DirSync = 4;
std::atomic<int> g_fault{None};
std::atomic<long long> g_left{0}; // bytes written before a full disk or a hold-up shows
char g_dir[PATH_MAX];             // with a trailing '/'
QByteArray g_atDirSync;           // what the log held when its directory was synced
QLockFile* g_holder = nullptr;    // let go once a save pauses to wait for it

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
    errno = int(g_left);
    return g_fault.exchange(None) == DirSync ? -1 : real(fd);
}

extern "C" int nanosleep(const timespec* time, timespec* left)
{
    static const auto real =
        reinterpret_cast<int (*)(const timespec*, timespec*)>(::dlsym(RTLD_NEXT, "nanosleep"));
    if (g_holder)
        std::exchange(g_holder, nullptr)->unlock();
    return real(time, left);
}

namespace {
Captions six(const QString& item)
{
    Captions captions;
    captions.fill(QString(item).replace('_', ' ').toStdString());
    return captions;
}

// What a log of six alike reads as; "none": no log at all.
LogState stateOf(const QString& item)
{
    return item == "none" ? LogState() : LogFormat::parse(LogFormat::saveForm(six(item))).captions;
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

    // Saved over what the window expects (as read), else merged. A lock is waited for only
    // while its holder lives: not once killed, nor unnamed (it died before naming itself).
    // A save that fails leaves the old log whole, and one held up goes on.
    void savesWhatBothLogged_data()
    {
        QTest::addColumn<QString>("items"); // base, shown, on disk -> on disk; a lock or fault
        QTest::newRow("changed here only, as shown") << "4 Overflow 4 Overflow";
        QTest::newRow("changed on disk only") << "1 1 9 9";
        QTest::newRow("the seed read as zeros") << "0 3 _0_ 3";
        QTest::newRow("both: the sum") << "4 10 8 14";
        QTest::newRow("damaged on disk, as 0") << "2 5 abc 3";
        QTest::newRow("negative on disk") << "2 5 -3 0";
        QTest::newRow("1E+15 forms") << "2 5 999999999999999 1E+15";
        QTest::newRow("read as no number shown, as 0") << "5 1.79769313486232E+308 8 3";
        QTest::newRow("beyond the range") << "0 1E+308 1.5e308 1.79769313486231E+308";
        QTest::newRow("a difference beyond the range") << "-1E+308 1E+308 -5e307 1.5E+308";
        QTest::newRow("deleted here") << "none 2 1 3";
        QTest::newRow("deleted meanwhile") << "4 9 none 5";
        QTest::newRow("never a log") << "none 7 none 7";
        QTest::newRow("lock of a killed holder") << "1 2 1 2 killed";
        QTest::newRow("unnamed lock") << "1 2 1 2 unnamed";
        QTest::newRow("lock held, let go while waited for") << "1 2 1 2 alive";
        QTest::newRow("no byte free") << "1 2 1 1 full:0";
        QTest::newRow("one byte short") << "1 2 1 1 full:17";
        QTest::newRow("full only at the sync") << "1 2 1 1 atsync";
        QTest::newRow("held up once") << "1 2 1 2 held:10";
        QTest::newRow("held up after a byte") << "1 2 1 2 held:1";
        QTest::newRow("failed only at the directory's sync") << "1 2 1 2 unsynced";
        QTest::newRow("no directory sync to be had") << "1 2 1 2 nosync";
    }
    void savesWhatBothLogged()
    {
        QFETCH(QString, items);
        const QStringList item = items.split(' ');
        const QString also = item.value(4).section(':', 0, 0); // a lock or a fault
        QTemporaryDir dir;
        if (item[2] != "none")
            writeFile(dir.filePath("Basic.LOG"),
                      QByteArray::fromStdString(LogFormat::saveForm(six(item[2]))));
        QLockFile lock(dir.filePath("Basic.LOG.lock"));
        if (also == "killed" && ::fork() == 0) {
            lock.tryLock();
            ::raise(SIGKILL);
        }
        ::wait(nullptr);
        if (also == "unnamed") // stale once a second old
            writeFile(lock.fileName(), QByteArray());
        if (also == "alive" && lock.tryLock())
            g_holder = &lock; // let go at the save's first pause
        QCOMPARE(QFile::exists(lock.fileName()), also == "killed" || also == "unnamed" || g_holder);
        std::snprintf(g_dir, sizeof g_dir, "%s/", qPrintable(dir.path()));
        g_left = item.value(4).contains(':') ? item[4].section(':', 1).toLongLong()
                 : also == "nosync"          ? EINVAL
                                             : EIO;
        g_fault = also == "full"          ? Full
                  : also == "atsync"      ? FullAtSync
                  : also == "held"        ? HeldUp
                  : also.contains("sync") ? DirSync
                                          : None;
        g_atDirSync.clear();
        const bool full = also == "full" || also == "atsync", fails = full || also == "unsynced";
        const LogStore store(dir.path());
        SaveResult result = store.saveLog(stateOf(item[0]), six(item[1]));
        g_holder = nullptr;
        g_fault = None;
        QVERIFY2(!lock.isLocked(), "saved while a live holder held the lock");
        if (textOf(stateOf(item[0])) != textOf(stateOf(item[2]))) {
            QCOMPARE(result.status, SaveResult::Status::Changed);
            QCOMPARE(textOf(result.onDisk), textOf(stateOf(item[2])));
            result = store.saveLog(
                result.onDisk, LogFormat::merged(stateOf(item[0]), six(item[1]), result.onDisk));
        }
        QCOMPARE(result.error, QString(fails ? std::strerror(full ? ENOSPC : EIO) : ""));
        QCOMPARE(result.status, fails ? SaveResult::Status::Failed : SaveResult::Status::Written);
        // What a read of the log gives back ("Overflow" as 0), the next save's expectation.
        QCOMPARE(textOf(result.onDisk), textOf(stateOf(item[3])));
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), 1); // the lock is gone
        const QByteArray written = QByteArray::fromStdString(LogFormat::saveForm(six(item[3])));
        QCOMPARE(readFile(dir.filePath(files[0])), written);
        // The directory was synced with the new log in place, and never before the rename.
        QCOMPARE(g_atDirSync, full ? QByteArray() : written);
    }
};

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_LogStore.moc"
