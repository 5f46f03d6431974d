#include "store/LogStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <atomic>
#include <climits>
#include <dlfcn.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace store;

// A disk under the test's directory that fills up, finds out only at the sync that it
// is full, holds a write up once or fails a directory's sync: write(), fdatasync() and
// fsync() are defined here, ahead of the C library, so Qt's own calls come through them.
namespace {
constexpr int None = 0, Full = 1, FullAtSync = 2, HeldUp = 3, DirSync = 4;
std::atomic<int> g_fault{None};
std::atomic<long long> g_left{0}; // bytes written before a full disk or a hold-up shows
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
    return g_fault == fault && target(fd).starts_with(g_dir);
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

// What the window's tests do not reach: the reader's corners, the store's own answers,
// and saves that meet a full disk or are cut short. Saving, seeding and the names in
// other letter cases are the window's.
class TestLogStore : public QObject
{
    Q_OBJECT

private slots:
    // The caption each item gives, one that is bad or missing marked with a *.
    void readsWhatAFileHolds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("items");
        QTest::newRow("blanks and number forms")
            << QByteArray(" 12 \n\t2.5\t\n1e3\n-7\n+007\n1e308\n") << "12 2.5 1000 -7 7 1E+308";
        QTest::newRow("three items") << QByteArray("4\r\n1\r\n22\r\n") << "4 1 22 0* 0* 0*";
        QTest::newRow("empty") << QByteArray() << "0* 0* 0* 0* 0* 0*";
        QTest::newRow("text and blank lines")
            << QByteArray("abc\n\n1,5\n  \n9\n\"5\"\n") << "0* 0* 0* 0* 9 0*";
        // A caption whose 15 digits would read back beyond the range is refused too.
        QTest::newRow("beyond the range")
            << QByteArray("1e999\n-1e999\n1.7976931348623157e308\n1\n1\n1\n") << "0* 0* 0* 1 1 1";
        // Only the first 64 KiB are read: a line still running there is cut, not a number.
        QTest::newRow("past the read limit")
            << "5\n" + QByteArray(LogFormat::kReadLimit, '7') << "5 0* 0* 0* 0* 0*";
        QTest::newRow("up to the read limit")
            << "5\n" + QByteArray(LogFormat::kReadLimit - 4, '0') + "7\n"
            << "5 7 0* 0* 0* 0*";
    }
    void readsWhatAFileHolds()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        writeFile(dir.filePath("Basic.LOG"), bytes);
        const ReadResult result = LogStore(dir.path()).read("Basic.LOG");
        QCOMPARE(result.status, ReadResult::Status::Read);
        QStringList items;
        for (std::size_t i = 0; i < tally::kDenominationCount; ++i)
            items << QString::fromStdString(result.contents.captions[i]) +
                         (result.contents.valid[i] ? "" : "*");
        QTEST(items.join(' '), "items");
        QCOMPARE(result.contents.allValid(), !items.join(' ').contains('*'));
        QCOMPARE(readFile(dir.filePath("Basic.LOG")), bytes);
    }

    void aBadItemIsQuotedReadablyAndBriefly()
    {
        const LogContents quoted = LogFormat::parse("ok\x01\n" + std::string(50, 'x') + "\n");
        QCOMPARE(quoted.rawItems[0], "ok?");
        QCOMPARE(quoted.rawItems[1], std::string(40, 'x') + "...");
    }

    void removingTellsMissingFromFailed()
    {
        QTemporaryDir dir;
        const LogStore store(dir.path());
        QCOMPARE(store.remove("Basic.LOG").status, RemoveResult::Status::Missing);
        writeFile(dir.filePath("basic.log"), "1");
        QCOMPARE(store.remove("BASIC.log").status, RemoveResult::Status::Removed);
        QVERIFY(QDir(dir.path()).mkpath("Basic.LOG/in"));
        const RemoveResult removed = store.remove("Basic.LOG");
        QVERIFY(removed.status == RemoveResult::Status::Failed && !removed.error.isEmpty());
        QCOMPARE(LogStore(dir.filePath("none")).ensureLogSeeded().status,
                 SeedResult::Status::CannotCreate);
        // A directory in the log's place, worded alike by remove, read, seed and write.
        const SeedResult seeded = store.ensureLogSeeded();
        QCOMPARE(seeded.status, SeedResult::Status::CannotRead);
        QCOMPARE((QStringList{removed.error, store.read("Basic.LOG").error, seeded.error,
                              store.write("Basic.LOG", {}).error}),
                 QStringList(4, QString::fromLocal8Bit(std::strerror(EISDIR))));
    }

    // A reader blocked on a FIFO would hang the start for good.
    void refusesWhatIsNotARegularFile()
    {
        QTemporaryDir dir;
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("Basic.LOG")).constData(), 0600), 0);
        const LogStore store(dir.path());
        QVERIFY(store.read("Basic.LOG").error.contains("not a regular file"));
        QCOMPARE(store.ensureLogSeeded().status, SeedResult::Status::CannotRead);
    }

    void aSaveIsWholeOrNotAtAll_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<long long>("after"); // bytes, or the directory sync's errno
        QTest::addColumn<QString>("error");   // part of the reason; none when saved
        QTest::newRow("no byte free") << Full << 0LL << "space";
        QTest::newRow("one byte short") << Full << 22LL << "space";
        QTest::newRow("full only at the sync") << FullAtSync << 0LL << "space";
        QTest::newRow("held up once") << HeldUp << 10LL << "";
        QTest::newRow("directory not synced") << DirSync << (long long)EIO << "Input/output";
        QTest::newRow("no directory sync to be had") << DirSync << (long long)EINVAL << "";
    }
    void aSaveIsWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        const LogStore store(dir.path());
        QVERIFY(store.write("Basic.LOG", {"1", "2", "3", "4", "5", "6"}).ok);
        std::snprintf(g_dir, sizeof g_dir, "%s/", qPrintable(dir.path()));
        QFETCH(int, fault);
        QFETCH(long long, after);
        g_left = after;
        g_fault = fault;
        g_atDirSync.clear();
        const StoreResult result = store.write("Basic.LOG", {"40", "1", "22", "37", "19", "250"});
        g_fault = None;
        QFETCH(QString, error);
        const bool saved = error.isEmpty(), placed = saved || fault == DirSync;
        QVERIFY2(result.ok == saved && result.error.contains(error) &&
                     result.error.isEmpty() == saved,
                 qPrintable(result.error));
        const QByteArray written = "40\r\n1\r\n22\r\n37\r\n19\r\n250\r\n";
        QCOMPARE(readFile(dir.filePath("Basic.LOG")),
                 placed ? written : "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Basic.LOG"});
        // The directory is synced once the new log is in place, and only then.
        QCOMPARE(g_atDirSync, placed ? written : QByteArray());
    }

    void killedWhileSavingLeavesOneWholeLog()
    {
        QTemporaryDir dir;
        const LogStore store(dir.path());
        const Captions forms[] = {{"1", "1", "1", "1", "1", "1"},
                                  {"22222", "2", "2", "2", "2", "2"}};
        QVERIFY(store.write("Basic.LOG", forms[0]).ok);
        QRandomGenerator random(3);
        for (int round = 0; round < 40; ++round) {
            const pid_t child = ::fork();
            for (int i = 0; child == 0; ++i)
                store.write("Basic.LOG", forms[i % 2]);
            ::usleep(random.bounded(200, 3000));
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            const std::string bytes = readFile(dir.filePath("Basic.LOG")).toStdString();
            QVERIFY2(bytes == LogFormat::saveForm(forms[0]) ||
                         bytes == LogFormat::saveForm(forms[1]),
                     bytes.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_LogStore.moc"
