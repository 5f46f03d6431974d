#include "store/LoggedFinds.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStringEncoder>
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

// A disk under the test's directory that fills up, or finds out only at the sync that
// it is full: write() and fdatasync() are defined here, ahead of the C library, so Qt's
// own calls come through them. The lock file is left alone: a lock that cannot be
// written is another story.
namespace {
constexpr int None = 0, Full = 1, FullAtSync = 2;
} // namespace
#ifndef Q_OS_WIN
namespace {
std::atomic<int> g_fault{None};
std::atomic<long long> g_left{0}; // bytes written before the disk is full
char g_dir[PATH_MAX];             // with a trailing '/'

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
QByteArray unicode(const char* text, QStringConverter::Encoding encoding)
{
    return QStringEncoder(encoding, QStringConverter::Flag::WriteBom)(QString(text));
}

// An outcome's kind by its name, a failure by the system's reason.
template <typename Outcome> QString said(const Outcome& outcome, const QStringList& names)
{
    return names.value(int(outcome.kind), "failed: " + outcome.reason);
}

// One step of a window's, by name, and what became of it, in a word or two. "disk"
// stands for another window's save ("(none)": it deleted the log), "fault" for a disk
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
    if (what == "disk") { // counts, or kNone or kDirectory as they read
        putFile(dir + "/Basic.LOG", rest.startsWith('(') ? rest.toLatin1() : form(rest));
        return "";
    }
#ifndef Q_OS_WIN
    if (what == "fault") { // full or late (full at the sync), then the bytes written
        // before the disk is full
        g_left = rest.section(' ', 1).toInt();
        g_fault = QStringList{"", "full", "late"}.indexOf(rest.section(' ', 0, 0));
        return "";
    }
#endif
    if (what == "save" || what == "keep" || what == "overwrite" || what == "session") {
        last = what == "save" ? finds.save()
               : what == "session"
                   ? finds.saveKeepingBoth()
                   : finds.saveOver(last, what == "keep" ? LoggedFinds::Choice::KeepBoth
                                                         : LoggedFinds::Choice::Overwrite);
        return said(last, {"written", "nothing to save", "changed"});
    }
    if (what == "backup")
        return said(finds.writeBackup(), {"done"});
    if (what == "restore")
        return finds.restore().kind == RestoreOutcome::Kind::Restored ? "restored" : "missing";
    return said(rest == "log" ? finds.deleteLog() : finds.deleteBackup(), {"done", "missing"});
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
        row("a folder in its place, a backup too short", kDirectory, "1\n2\n3\n",
            {"load", "restore", "session"}, {"unread", "missing", "nothing to save"}, "0 0 0 0 0 0",
            false, kDirectory, "1\n2\n3\n");
        // Only the first 64 KiB are read: a line that runs past them is cut, and no number.
        // A UTF-8 mark, as Notepad may write, belongs to no line.
        const QByteArray cut = "\xEF\xBB\xBF"
                               "1\n" +
                               QByteArray(65529, ' ') + "678";
        row("a line cut at 64 KiB", cut, kNone, {"load"}, {"read"}, "1 0 0 0 0 0", false, cut);
        row("Unicode, saved as 8-bit", unicode(" 1\n2\n3\n4\n5\n6", QStringConverter::Utf16LE),
            kNone, {"load", "log 1 0 0 0 0 0", "save"}, {"read", "logged 1 0 0 0 0 0", "written"},
            "2 2 3 4 5 6", false, form("2 2 3 4 5 6"));
        row("logged: whole parts, signs kept", {}, kNone, {"load", "log +5 0 -5 2 1e3 -.5"},
            {"read", "logged 5 0 -5 2 1000 -1"}, "5 0 -5 2 1000 9", true, ten);
        // Another window saves 15 pennies while this one logs 3 dimes.
        const QStringList changed{"load", "log 0 0 0 3 0 0", "disk 0 0 0 0 0 15", "save"};
        const QStringList seen{"read", "logged 0 0 0 3 0 0", "", "changed"};
        row("changed twice: keep both", {}, kNone,
            changed + QStringList{"disk 1 0 0 0 0 20", "keep", "keep"},
            seen + QStringList{"", "changed", "written"}, "1 0 0 3 0 20", false,
            form("1 0 0 3 0 20"));
        row("session end: both kept, the sum", {}, kNone,
            {"load", "log 0 0 0 0 0 3", "disk 0 0 0 0 0 15", "session"},
            {"read", "logged 0 0 0 0 0 3", "", "written"}, "0 0 0 0 0 18", false,
            form("0 0 0 0 0 18"));
        row("save fails: unsaved, backed up", {}, kNone,
            {"load", "log 0 0 0 3 0 0", "disk (directory)", "save", "backup"},
            {"read", "logged 0 0 0 3 0 0", "", "failed: " + kIsFolder, "done"}, "0 0 0 3 0 10",
            true, kDirectory, form("0 0 0 3 0 10"));
        const QByteArray backup = unicode("1\n2\n3\n4\n5\nz", QStringConverter::Utf16BE);
        row("restore: Unicode big endian", {}, backup, {"load", "restore", "save"},
            {"read", "restored", "written"}, "1 2 3 4 5 0", false, form("1 2 3 4 5 0"), backup);
        row("delete the log: zeros, then a new log", {}, ten,
            {"load", "delete log", "delete log", "save", "log 1 0 0 0 0 0", "save"},
            {"read", "done", "missing", "written", "logged 1 0 0 0 0 0", "written"}, "1 0 0 0 0 0",
            false, form("1 0 0 0 0 0"), ten);
        // A save that fails leaves the old log whole; a short write goes on to the
        // system's reason.
        const QStringList logged{"load", "log 1 1 1 1 1 1"}, done{"read", "logged 1 1 1 1 1 1", ""};
        for (const auto& [name, fault] : {std::pair("one byte written", "fault full 1"),
                                          {"full only at the sync", "fault late 0"}})
            row(name, {}, kNone, logged + QStringList{fault, "save"},
                done + QStringList{"failed: " + QString(std::strerror(ENOSPC))}, "1 1 1 1 1 11",
                true, ten);
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
        // Nothing beside them.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("Basic.LOG."),
                 QDir(dir.path()).entryList({"Basic.LOG.Backup"}, QDir::Files));
#ifndef Q_OS_WIN
        g_fault = None;
#endif
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
        QCOMPARE(said(save.get(), {"written"}), "written");
        QFile lock(dir.filePath("Basic.LOG.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly) &&
                lock.setFileTime(QDateTime::currentDateTime().addSecs(-10),
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
