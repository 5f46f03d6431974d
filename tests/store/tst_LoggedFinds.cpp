#include "store/LoggedFinds.h"
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

// "1 0 0 0 0 2": six counts, dollar coins first.
Captions counts(const QString& items)
{
    Captions captions;
    const QStringList list = items.split(' ');
    for (std::size_t i = 0; i < captions.size(); ++i)
        captions[i] = list.value(int(i)).toStdString();
    return captions;
}

QString textOf(const Captions& captions)
{
    return QString::fromStdString(LogFormat::saveForm(captions)).replace("\r\n", " ").trimmed();
}

// What a log of six alike reads as; "none": no log at all.
LogState stateOf(const QString& item)
{
    return item == "none" ? LogState() : LogFormat::parse(LogFormat::saveForm(six(item))).captions;
}

QByteArray form(const QString& items)
{
    return QByteArray::fromStdString(LogFormat::saveForm(counts(items)));
}

const QByteArray kDirectory = "(directory)";

void put(const QString& path, const QByteArray& bytes)
{
    QFile::remove(path);
    if (bytes == kDirectory)
        QVERIFY(QDir().mkpath(path + "/in"));
    else if (bytes != kNone)
        writeFile(path, bytes);
}

// Notepad's "Unicode" and "Unicode big endian": UTF-16 after its byte-order mark.
QByteArray unicode(const QByteArray& text, bool big)
{
    QByteArray bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : text)
        bytes += big ? QByteArray(1, '\0') + c : c + QByteArray(1, '\0');
    return bytes;
}

const char* kindOf(SaveOutcome::Kind kind)
{
    constexpr const char* names[] = {"written", "nothing to save", "changed", "failed",
                                     "cancelled"};
    return names[int(kind)];
}

// One step of a window's, by name, and what became of it, in a word or two.
QString run(LoggedFinds& finds, const QString& step, SaveOutcome& last, const QString& dir)
{
    const QString what = step.section(' ', 0, 0), rest = step.section(' ', 1);
    const auto file = [](const FileOutcome& outcome) {
        return QString(outcome.kind == FileOutcome::Kind::Done      ? "done"
                       : outcome.kind == FileOutcome::Kind::Missing ? "missing"
                                                                    : "failed");
    };
    if (what == "load") {
        const LoadOutcome loaded = finds.load();
        return loaded.kind == LoadOutcome::Kind::Read ? "read" : "unread";
    }
    if (what == "log") {
        const LogOutcome logged = finds.log(counts(rest));
        return logged.kind == LogOutcome::Kind::Logged
                   ? "logged " + textOf(logged.entries)
                   : QString("not a number: %1").arg(logged.entry);
    }
    if (what == "disk") { // another window saved this, or "none": deleted the log
        put(dir + "/Basic.LOG", rest == "none"     ? kNone
                                : rest == "folder" ? kDirectory
                                                   : form(rest));
        return "";
    }
    if (what == "save" || what == "keep" || what == "overwrite" || what == "session") {
        last = what == "save" ? finds.save()
               : what == "session"
                   ? finds.saveKeepingBoth()
                   : finds.saveOver(last, what == "keep" ? LoggedFinds::Choice::KeepBoth
                                                         : LoggedFinds::Choice::Overwrite);
        return kindOf(last.kind);
    }
    if (what == "backup")
        return file(finds.writeBackup());
    if (what == "restore")
        return finds.restore().kind == RestoreOutcome::Kind::Restored ? "restored" : "missing";
    return file(rest == "log" ? finds.deleteLog() : finds.deleteBackup());
}
} // namespace

// The Logged Finds of one window and their files, without a window: what each step
// does to the counts, to what is unsaved and to the files, and saves that meet another
// window's log or lock, a full disk or a failing sync.
class TestLoggedFinds : public QObject
{
    Q_OBJECT

private slots:
    // The files before, the steps, what became of each, and the counts, whether any is
    // unsaved, and the files after. The log at the start holds ten pennies unless told.
    void steps_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QByteArray>("backup");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("outcomes");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QByteArray>("logAfter");
        QTest::addColumn<QByteArray>("backupAfter");
        const QByteArray ten = form("0 0 0 0 0 10");
        const QByteArray seed = QByteArray::fromStdString(LogFormat::seedForm());
        const auto row = [&](const char* name, const QByteArray& log, const QByteArray& backup,
                             const QStringList& steps, const QStringList& outcomes,
                             const char* counts, bool unsaved, const QByteArray& logAfter,
                             const QByteArray& backupAfter = kNone) {
            QTest::newRow(name) << (log.isNull() ? ten : log) << backup << steps << outcomes
                                << QString(counts) << unsaved << logAfter << backupAfter;
        };
        row("no log: seeded", kNone, kNone, {"load"}, {"read"}, "0 0 0 0 0 0", false, seed);
        row("a folder in its place", kDirectory, kNone, {"load", "session"},
            {"unread", "nothing to save"}, "0 0 0 0 0 0", false, kNone);
        row("damaged: as 0, untouched", "x\n7", kNone, {"load"}, {"read"}, "0 7 0 0 0 0", false,
            "x\n7");
        row("Unicode, saved as 8-bit", unicode(" 1\n2\n3\n4\n5\n6", false), kNone,
            {"load", "log 1 0 0 0 0 0", "save"}, {"read", "logged 1 0 0 0 0 0", "written"},
            "2 2 3 4 5 6", false, form("2 2 3 4 5 6"));
        row("logged: whole parts, signs kept", {}, kNone, {"load", "log +5 0 -5 2 1e3 -.5"},
            {"read", "logged 5 0 -5 2 1000 -1"}, "5 0 -5 2 1000 9", true, ten);
        row("an entry no number: nothing logged", {}, kNone, {"load", "log 1 0 x1 0 0 0"},
            {"read", "not a number: 2"}, "0 0 0 0 0 10", false, ten);
        row("saved", {}, kNone, {"load", "log 0 0 0 3 0 0", "save", "save"},
            {"read", "logged 0 0 0 3 0 0", "written", "written"}, "0 0 0 3 0 10", false,
            form("0 0 0 3 0 10"));
        // Another window saves 15 pennies while this one logs 3 dimes.
        const QStringList changed{"load", "log 0 0 0 3 0 0", "disk 0 0 0 0 0 15", "save"};
        const QStringList seen{"read", "logged 0 0 0 3 0 0", "", "changed"};
        row("changed meanwhile: keep both", {}, kNone, changed + QStringList{"keep"},
            seen + QStringList{"written"}, "0 0 0 3 0 15", false, form("0 0 0 3 0 15"));
        row("changed meanwhile: overwrite", {}, kNone, changed + QStringList{"overwrite"},
            seen + QStringList{"written"}, "0 0 0 3 0 10", false, form("0 0 0 3 0 10"));
        row("changed twice: keep both", {}, kNone,
            changed + QStringList{"disk 1 0 0 0 0 20", "keep", "keep"},
            seen + QStringList{"", "changed", "written"}, "1 0 0 3 0 20", false,
            form("1 0 0 3 0 20"));
        row("deleted meanwhile: keep both", {}, kNone,
            {"load", "log 0 0 0 3 0 0", "disk none", "save", "keep"},
            {"read", "logged 0 0 0 3 0 0", "", "changed", "written"}, "0 0 0 3 0 0", false,
            form("0 0 0 3 0 0"));
        row("session end: both kept", {}, kNone,
            {"load", "log 0 0 0 3 0 0", "disk 0 0 0 0 0 15", "session"},
            {"read", "logged 0 0 0 3 0 0", "", "written"}, "0 0 0 3 0 15", false,
            form("0 0 0 3 0 15"));
        row("session end: nothing logged", {}, kNone, {"load", "disk 1 1 1 1 1 1", "session"},
            {"read", "", "nothing to save"}, "0 0 0 0 0 10", false, form("1 1 1 1 1 1"));
        row("save fails: unsaved, backed up", {}, kNone,
            {"load", "log 0 0 0 3 0 0", "disk folder", "save", "backup"},
            {"read", "logged 0 0 0 3 0 0", "", "failed", "done"}, "0 0 0 3 0 10", true, kNone,
            form("0 0 0 3 0 10"));
        row("backup fails", {}, kDirectory, {"load", "backup"}, {"read", "failed"}, "0 0 0 0 0 10",
            false, ten, kNone);
        row("restore: three lines", {}, "1\n2\n3\n", {"load", "restore"}, {"read", "missing"},
            "0 0 0 0 0 10", false, ten, "1\n2\n3\n");
        const QByteArray backup = unicode("1\n2\n3\n4\n5\nz", true);
        row("restore: Unicode big endian", {}, backup, {"load", "restore", "save"},
            {"read", "restored", "written"}, "1 2 3 4 5 0", false, form("1 2 3 4 5 0"), backup);
        row("delete the log: zeros, then a new log", {}, ten,
            {"load", "delete log", "delete log", "save", "log 1 0 0 0 0 0", "save"},
            {"read", "done", "missing", "written", "logged 1 0 0 0 0 0", "written"}, "1 0 0 0 0 0",
            false, form("1 0 0 0 0 0"), ten);
        row("delete the backup", {}, ten, {"load", "delete backup", "delete backup"},
            {"read", "done", "missing"}, "0 0 0 0 0 10", false, ten, kNone);
    }
    void steps()
    {
        QTemporaryDir dir;
        QFETCH(QByteArray, log);
        QFETCH(QByteArray, backup);
        put(dir.filePath("Basic.LOG"), log);
        put(dir.filePath("Basic.LOG.Backup"), backup);
        LoggedFinds finds(dir.path());
        SaveOutcome last{};
        QStringList outcomes;
        QFETCH(QStringList, steps);
        for (const QString& step : steps)
            outcomes << run(finds, step, last, dir.path());
        QTEST(outcomes, "outcomes");
        QTEST(textOf(finds.counts()), "counts");
        QTEST(finds.hasUnsavedFinds(), "unsaved");
        QTEST(readFile(dir.filePath("Basic.LOG")), "logAfter");
        QTEST(readFile(dir.filePath("Basic.LOG.Backup")), "backupAfter");
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
        writeFile(dir.filePath("Basic.LOG"), form("1 1 1 1 1 1"));
        QLockFile other(dir.filePath("Basic.LOG.lock"));
        QVERIFY(other.tryLock());
        LoggedFinds finds(dir.path());
        finds.load();
        finds.log(counts("1 1 1 1 1 1"));
        auto save = std::async(std::launch::async, [&] { return finds.save(); });
        QVERIFY2(save.wait_for(std::chrono::milliseconds(1500)) == std::future_status::timeout,
                 "saved while the other window held the lock");
        other.unlock();
        QCOMPARE(kindOf(save.get().kind), "written");
        QCOMPARE(readFile(dir.filePath("Basic.LOG")), form("2 2 2 2 2 2"));
    }

    // A lock whose holder died before naming itself is stale once a little old: dated ten
    // seconds back, well short of Qt's own default. The log is replaced in whatever
    // letter case it was found.
    void breaksAnOldUnnamedLock()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("basic.log"), form("1 1 1 1 1 1"));
        QFile lock(dir.filePath("Basic.LOG.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-10),
                                 QFileDevice::FileModificationTime));
        lock.close();
        LoggedFinds finds(dir.path());
        finds.load();
        finds.log(counts("1 1 1 1 1 1"));
        QCOMPARE(finds.save().reason, QString());
        QCOMPARE(readFile(dir.filePath("basic.log")), form("2 2 2 2 2 2"));
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
        writeFile(dir.filePath("Basic.LOG"), form("1 1 1 1 1 1"));
        LoggedFinds finds(dir.path());
        finds.load();
        finds.log(counts("1 1 1 1 1 1"));
        std::snprintf(g_dir, sizeof g_dir, "%s/", qPrintable(dir.path()));
        QFETCH(qlonglong, bytes);
        QFETCH(int, given);
        QFETCH(int, fault);
        g_left = bytes;
        g_dirSyncError = given;
        g_atDirSync.clear();
        g_fault = fault;
        const SaveOutcome result = finds.save();
        g_fault = None;
        QCOMPARE(result.reason, QString(reported ? std::strerror(reported) : ""));
        // A log replaced is what the next save expects, whatever was reported.
        QCOMPARE(finds.hasUnsavedFinds(), !replaced);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Basic.LOG"});
        const QByteArray one = form("1 1 1 1 1 1"), two = form("2 2 2 2 2 2");
        QCOMPARE(readFile(dir.filePath("Basic.LOG")), replaced ? two : one);
        QCOMPARE(g_atDirSync, replaced ? two : QByteArray());
#endif
    }
};

QTEST_GUILESS_MAIN(TestLoggedFinds)
#include "tst_LoggedFinds.moc"
