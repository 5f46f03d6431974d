#include "store/LoggedFinds.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <future>
#ifndef Q_OS_WIN
#include <dlfcn.h>
#include <unistd.h>
#endif

using namespace store;

// A disk under the test's directory that fills up, finds out only at the sync that it
// is full or fails a folder's sync: write(), fdatasync() and fsync() are defined
// here, ahead of the C library, so Qt's own calls come through them. Every folder sync
// notes what the log held then. The lock file is left alone: a lock that cannot be
// written is another story.
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

QByteArray form(const QString& items)
{
    return QByteArray::fromStdString(LogFormat::saveForm(counts(items)));
}

// Notepad's "Unicode" and "Unicode big endian": UTF-16 after its byte-order mark.
QByteArray unicode(const QByteArray& text, bool big)
{
    QByteArray bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : text)
        bytes += big ? QByteArray(1, '\0') + c : c + QByteArray(1, '\0');
    return bytes;
}

QString failed(const QString& reason)
{
    return "failed: " + reason;
}

QString said(SaveOutcome::Kind kind, const QString& reason)
{
    constexpr const char* names[] = {"written", "nothing to save", "changed", "", "cancelled"};
    return kind == SaveOutcome::Kind::Failed ? failed(reason) : names[int(kind)];
}

QString said(const FileOutcome& outcome)
{
    return outcome.kind == FileOutcome::Kind::Done      ? "done"
           : outcome.kind == FileOutcome::Kind::Missing ? "missing"
                                                        : failed(outcome.reason);
}

// One step of a window's, by name, and what became of it, in a word or two. "disk"
// stands for another window's save ("none": it deleted the log), "fault" for a disk
// that fails the next save.
QString run(LoggedFinds& finds, const QString& step, SaveOutcome& last, const QString& dir)
{
    const QString what = step.section(' ', 0, 0), rest = step.section(' ', 1);
    if (what == "load")
        return finds.load().kind == LoadOutcome::Kind::Read ? "read" : "unread";
    if (what == "log") {
        const LogOutcome logged = finds.log(counts(rest));
        return logged.kind == LogOutcome::Kind::Logged
                   ? "logged " + textOf(logged.entries)
                   : QString("not a number: %1").arg(logged.entry);
    }
    if (what == "disk") {
        putFile(dir + "/Basic.LOG", rest == "none"     ? kNone
                                    : rest == "folder" ? kDirectory
                                                       : form(rest));
        return "";
    }
#ifndef Q_OS_WIN
    if (what == "fault") { // full, late (full at the sync) or folder, then a number:
        // the bytes written before the disk is full, or what the folder's sync gives
        g_left = g_dirSyncError = rest.section(' ', 1).toInt();
        g_fault = QStringList{"", "full", "late", "folder"}.indexOf(rest.section(' ', 0, 0));
        return "";
    }
#endif
    if (what == "save" || what == "keep" || what == "overwrite" || what == "session") {
        last = what == "save" ? finds.save()
               : what == "session"
                   ? finds.saveKeepingBoth()
                   : finds.saveOver(last, what == "keep" ? LoggedFinds::Choice::KeepBoth
                                                         : LoggedFinds::Choice::Overwrite);
        return said(last.kind, last.reason);
    }
    if (what == "backup")
        return said(finds.writeBackup());
    if (what == "restore")
        return finds.restore().kind == RestoreOutcome::Kind::Restored ? "restored" : "missing";
    return said(rest == "log" ? finds.deleteLog() : finds.deleteBackup());
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
        const auto row = [&](const char* name, const QByteArray& log, const QByteArray& backup,
                             const QStringList& steps, const QStringList& outcomes,
                             const char* counts, bool unsaved, const QByteArray& logAfter,
                             const QByteArray& backupAfter = kNone) {
            QTest::newRow(name) << (log.isNull() ? ten : log) << backup << steps << outcomes
                                << QString(counts) << unsaved << logAfter << backupAfter;
        };
        row("no log: seeded", kNone, kNone, {"load"}, {"read"}, "0 0 0 0 0 0", false,
            QByteArray::fromStdString(LogFormat::seedForm()));
        row("a folder in its place", kDirectory, kNone, {"load", "session"},
            {"unread", "nothing to save"}, "0 0 0 0 0 0", false, kDirectory);
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
        row("save fails: unsaved, backed up", {}, kNone,
            {"load", "log 0 0 0 3 0 0", "disk folder", "save", "backup"},
            {"read", "logged 0 0 0 3 0 0", "", failed(kIsFolder), "done"}, "0 0 0 3 0 10", true,
            kDirectory, form("0 0 0 3 0 10"));
        row("backup fails", {}, kDirectory, {"load", "backup"}, {"read", failed(kIsFolder)},
            "0 0 0 0 0 10", false, ten, kDirectory);
        const QByteArray backup = unicode("1\n2\n3\n4\n5\nz", true);
        row("restore: Unicode big endian", {}, backup, {"load", "restore", "save"},
            {"read", "restored", "written"}, "1 2 3 4 5 0", false, form("1 2 3 4 5 0"), backup);
        row("restore: three lines", {}, "1\n2\n3\n", {"load", "restore"}, {"read", "missing"},
            "0 0 0 0 0 10", false, ten, "1\n2\n3\n");
        row("delete the log: zeros, then a new log", {}, ten,
            {"load", "delete log", "delete log", "save", "log 1 0 0 0 0 0", "save"},
            {"read", "done", "missing", "written", "logged 1 0 0 0 0 0", "written"}, "1 0 0 0 0 0",
            false, form("1 0 0 0 0 0"), ten);
        row("delete the backup", {}, ten, {"load", "delete backup", "delete backup"},
            {"read", "done", "missing"}, "0 0 0 0 0 10", false, ten, kNone);
        // A save that fails leaves the old log whole; a short write goes on to the
        // system's reason. A folder sync that fails comes after the rename.
        const QString full = failed(std::strerror(ENOSPC));
        const QStringList logged{"load", "log 1 1 1 1 1 1"}, done{"read", "logged 1 1 1 1 1 1", ""};
        for (const auto& [name, fault, outcome] : {
                 std::tuple("no byte free", "fault full 0", full),
                 {"one byte free", "fault full 1", full},
                 {"one byte short", "fault full 18", full},
                 {"full only at the sync", "fault late 0", full},
             })
            row(name, {}, kNone, logged + QStringList{fault, "save"}, done + QStringList{outcome},
                "1 1 1 1 1 11", true, ten);
        row("folder sync failed", {}, kNone,
            logged + QStringList{QString("fault folder %1").arg(EIO), "save"},
            done + QStringList{failed(std::strerror(EIO))}, "1 1 1 1 1 11", false,
            form("1 1 1 1 1 11"));
        row("no folder sync to be had", {}, kNone,
            logged + QStringList{QString("fault folder %1").arg(EINVAL), "save"},
            done + QStringList{"written"}, "1 1 1 1 1 11", false, form("1 1 1 1 1 11"));
    }
    void steps()
    {
        QFETCH(QStringList, steps);
#ifdef Q_OS_WIN
        if (steps.filter("fault").size())
            QSKIP("the faults are put in front of the C library's write(), which Windows' own "
                  "file calls do not go through");
#endif
        QTemporaryDir dir;
        QFETCH(QByteArray, log);
        QFETCH(QByteArray, backup);
        putFile(dir.filePath("Basic.LOG"), log);
        putFile(dir.filePath("Basic.LOG.Backup"), backup);
#ifndef Q_OS_WIN
        std::snprintf(g_dir, sizeof g_dir, "%s/", qPrintable(dir.path()));
        g_atDirSync = kNone;
#endif
        LoggedFinds finds(dir.path());
        SaveOutcome last{};
        QStringList outcomes;
        for (const QString& step : steps)
            outcomes << run(finds, step, last, dir.path());
        QTEST(outcomes, "outcomes");
        QTEST(textOf(finds.counts()), "counts");
        QTEST(finds.hasUnsavedFinds(), "unsaved");
        const auto onDisk = [&dir](const char* name) {
            return QFileInfo(dir.filePath(name)).isDir() ? kDirectory
                                                         : readFile(dir.filePath(name));
        };
        QTEST(onDisk("Basic.LOG"), "logAfter");
        QTEST(onDisk("Basic.LOG.Backup"), "backupAfter");
        // Nothing beside them, and a folder synced only with the new log in place.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("Basic.LOG."),
                 QDir(dir.path()).entryList({"Basic.LOG.Backup"}, QDir::Files));
#ifndef Q_OS_WIN
        g_fault = None;
        if (g_atDirSync != kNone)
            QCOMPARE(g_atDirSync, onDisk("Basic.LOG"));
#endif
    }

    // What a window writes over another's save: neither side's finds are lost. The
    // counts are six alike, "none" for no log at all.
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
        row("both: the sum", "4", "10", "8", "14");
        row("damaged on disk, as 0", "2", "5", "abc", "3");
        row("beyond the range", "0", "1E+308", "1.5e308", "1.79769313486231E+308");
        row("a difference beyond the range", "-1E+308", "1E+308", "-5e307", "1.5E+308");
        row("below the range", "1E+308", "-1E+308", "-1E+308", "-1.79769313486231E+308");
        row("deleted here", "none", "2", "1", "3");
    }
    void merges()
    {
        const auto six = [](const QString& item) { return counts(QStringList(6, item).join(' ')); };
        const auto state = [&six](const QString& item) {
            return item == "none" ? LogState()
                                  : LogFormat::parse(LogFormat::saveForm(six(item))).captions;
        };
        QFETCH(QString, base);
        QFETCH(QString, shown);
        QFETCH(QString, onDisk);
        QFETCH(QString, merged);
        QCOMPARE(textOf(LogFormat::merged(state(base), six(shown), state(onDisk))),
                 textOf(six(merged)));
    }

    // Another window's lock is waited for while that window holds it, past the time
    // after which a lock whose holder is gone counts as stale. A lock of this process's
    // own is as live as another's: a holder is told apart from a dead one by its open,
    // locked file, not by its process. A lock whose holder died before naming itself is
    // stale once a little old: dated ten seconds back, well short of Qt's own default.
    // The log is replaced in whatever letter case it was found.
    void locks()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("basic.log"), form("1 1 1 1 1 1"));
        QLockFile other(dir.filePath("Basic.LOG.lock"));
        QVERIFY(other.tryLock());
        LoggedFinds finds(dir.path());
        finds.load();
        finds.log(counts("1 1 1 1 1 1"));
        auto save = std::async(std::launch::async, [&] { return finds.save(); });
        QVERIFY2(save.wait_for(std::chrono::milliseconds(1500)) == std::future_status::timeout,
                 "saved while the other window held the lock");
        other.unlock();
        QCOMPARE(said(save.get().kind, {}), "written");
        QFile lock(dir.filePath("Basic.LOG.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-10),
                                 QFileDevice::FileModificationTime));
        lock.close();
        finds.log(counts("1 1 1 1 1 1"));
        QCOMPARE(finds.save().reason, QString());
        QCOMPARE(readFile(dir.filePath("basic.log")), form("3 3 3 3 3 3"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"basic.log"});
    }
};

QTEST_GUILESS_MAIN(TestLoggedFinds)
#include "tst_LoggedFinds.moc"
