#include "ChildProcess.h"
#include "FullDisk.h"
#include "store/LogStore.h"

#include "support/TempWorkDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using store::LogStore;

namespace {

using Captions = std::array<std::string, store::kItemCount>;

const QString kLog = QString::fromLatin1(store::kLogFileName);
const QString kBackup = QString::fromLatin1(store::kBackupFileName);
const Captions kNew{"2", "0", "15", "31", "12", "140"};
const QByteArray kNewBytes("2\r\n0\r\n15\r\n31\r\n12\r\n140\r\n");
const Captions kOld{"4", "1", "22", "37", "19", "250"};
const QByteArray kOldBytes("4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n");
const QByteArray kSeedBytes(" 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n");

// Root passes every permission check, so a child that is to meet the mode bits
// gives up root for the unprivileged user "nobody" first.
constexpr uid_t kNobody = 65534;

enum class Operation
{
    SaveLog,
    SaveBackup,
    Seed
};

struct Outcome
{
    bool reported = false; // false: the child died, of a sanitizer report for one
    QString skipped;       // why the child could not even try
    bool ok = false;
    QString error;
};

store::StoreResult perform(Operation operation, const QString& directory)
{
    const LogStore logStore(directory);
    switch (operation) {
    case Operation::SaveLog:
        return logStore.write(kLog, kNew);
    case Operation::SaveBackup:
        return logStore.write(kBackup, kNew);
    case Operation::Seed: {
        const store::SeedResult seeded = logStore.ensureLogSeeded();
        return {seeded.ok && seeded.created, seeded.error};
    }
    }
    return {};
}

Outcome decode(const std::optional<QByteArray>& report)
{
    Outcome outcome;
    if (!report || report->isEmpty())
        return outcome;
    outcome.reported = true;
    if (report->startsWith('S')) {
        outcome.skipped = QString::fromUtf8(report->mid(1));
        return outcome;
    }
    outcome.ok = report->startsWith('1');
    outcome.error = QString::fromUtf8(report->mid(1));
    return outcome;
}

// Runs the operation in a child that, when the test runs as root, has given the
// directory to nobody and become nobody.
Outcome performUnprivileged(Operation operation, const QString& directory)
{
    ChildProcess child([&](int report) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ChildProcess::send(report, "Scannot give up root: " + QByteArray(std::strerror(errno)));
            return;
        }
        if (::access(QFile::encodeName(directory).constData(), X_OK) != 0) {
            ChildProcess::send(report, "Snobody cannot reach " + QFile::encodeName(directory));
            return;
        }
        const store::StoreResult result = perform(operation, directory);
        ChildProcess::send(report, (result.ok ? "1" : "0") + result.error.toUtf8());
    });
    return decode(child.finish());
}

// Hands the directory and all in it to nobody, so that for the child only the
// mode bits stand in the way.
void handToNobody(const TempWorkDir& dir)
{
    if (::geteuid() != 0)
        return;
    QVERIFY(::chown(QFile::encodeName(dir.path()).constData(), kNobody, kNobody) == 0);
    const QStringList entries = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : entries)
        QVERIFY(::chown(QFile::encodeName(dir.filePath(name)).constData(), kNobody, kNobody) == 0);
}

void setMode(const QString& path, mode_t mode)
{
    QVERIFY2(::chmod(QFile::encodeName(path).constData(), mode) == 0, std::strerror(errno));
}

QStringList entriesOf(const TempWorkDir& dir)
{
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
}

// The files a test starts with, and what each must still hold after a failure.
using Files = QMap<QString, QByteArray>;

void writeFiles(const TempWorkDir& dir, const Files& files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        dir.write(it.key(), it.value());
}

void verifyUnchanged(const TempWorkDir& dir, const Files& files)
{
    QCOMPARE(entriesOf(dir), QStringList(files.keys()));
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        QCOMPARE(dir.read(it.key()), it.value());
}

// What a successful operation leaves behind.
Files afterSuccess(Operation operation, Files files)
{
    switch (operation) {
    case Operation::SaveLog:
        files[files.contains("basic.log") ? QStringLiteral("basic.log") : kLog] = kNewBytes;
        break;
    case Operation::SaveBackup:
        files[kBackup] = kNewBytes;
        break;
    case Operation::Seed:
        files[kLog] = kSeedBytes;
        break;
    }
    return files;
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Files)
Q_DECLARE_METATYPE(FullDisk::Found)

class TestStoreFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void readOnly_data();
    void readOnly();
    void fullDisk_data();
    void fullDisk();
    void killedWhileSaving();
};

void TestStoreFaults::initTestCase()
{
    // Without the interposition every full-disk case would pass without a fault.
    TempWorkDir dir;
    const int fd = ::open(QFile::encodeName(dir.filePath("probe")).constData(),
                          O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(fd >= 0);
    FullDisk full(dir.path(), 0);
    errno = 0;
    const ssize_t wrote = ::write(fd, "x", 1);
    const int error = errno;
    ::close(fd);
    QCOMPARE(wrote, ssize_t(-1));
    QCOMPARE(error, ENOSPC);
    QCOMPARE(full.refusals(), 1);
}

void TestStoreFaults::readOnly_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("readOnly"); // "." for the directory itself

    const Files log{{kLog, kOldBytes}};
    QTest::newRow("log file") << Operation::SaveLog << log << kLog;
    QTest::newRow("log file spelled otherwise")
        << Operation::SaveLog << Files{{"basic.log", kOldBytes}} << "basic.log";
    QTest::newRow("backup file") << Operation::SaveBackup
                                 << Files{{kLog, kOldBytes}, {kBackup, kOldBytes}} << kBackup;
    QTest::newRow("directory, save over the log") << Operation::SaveLog << log << ".";
    QTest::newRow("directory, save a missing log") << Operation::SaveLog << Files{} << ".";
    QTest::newRow("directory, save the backup") << Operation::SaveBackup << log << ".";
    QTest::newRow("directory, seed a missing log") << Operation::Seed << Files{} << ".";
}

void TestStoreFaults::readOnly()
{
    QFETCH(Operation, operation);
    QFETCH(Files, files);
    QFETCH(QString, readOnly);

    TempWorkDir dir;
    writeFiles(dir, files);
    handToNobody(dir);
    const bool isDirectory = readOnly == QLatin1String(".");
    const QString path = isDirectory ? dir.path() : dir.filePath(readOnly);
    const mode_t writable = isDirectory ? 0700 : 0644;
    setMode(path, isDirectory ? 0555 : 0444);
    // Without write permission even the test could not clear the directory away.
    auto restore = qScopeGuard([&] { ::chmod(QFile::encodeName(path).constData(), writable); });

    const Outcome refused = performUnprivileged(operation, dir.path());
    QVERIFY2(refused.reported, "the child process died without a report");
    if (!refused.skipped.isEmpty())
        QSKIP(qPrintable(refused.skipped));
    QVERIFY(!refused.ok);
    QVERIFY2(!refused.error.isEmpty(), "the user would not learn why");
    if (!isDirectory)
        QVERIFY2(refused.error.contains(readOnly), qPrintable(refused.error));
    verifyUnchanged(dir, files);

    // The same child succeeds once it may write there: the mode bits stopped it.
    setMode(path, writable);
    const Outcome allowed = performUnprivileged(operation, dir.path());
    QVERIFY2(allowed.ok, qPrintable(allowed.error + allowed.skipped));
    verifyUnchanged(dir, afterSuccess(operation, files));
}

void TestStoreFaults::fullDisk_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<Files>("files");
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<FullDisk::Found>("found");

    const Files log{{kLog, kOldBytes}};
    const auto atWrite = FullDisk::Found::AtWrite;
    // The save form of the new counts takes 23 bytes, the seed form 30.
    QTest::newRow("no byte free") << Operation::SaveLog << log << qint64(0) << atWrite;
    QTest::newRow("one byte free") << Operation::SaveLog << log << qint64(1) << atWrite;
    QTest::newRow("one byte short") << Operation::SaveLog << log << qint64(22) << atWrite;
    QTest::newRow("missing log") << Operation::SaveLog << Files{} << qint64(10) << atWrite;
    QTest::newRow("backup") << Operation::SaveBackup
                            << Files{{kLog, kOldBytes}, {kBackup, kSeedBytes}} << qint64(5)
                            << atWrite;
    QTest::newRow("seed") << Operation::Seed << Files{} << qint64(29) << atWrite;
    QTest::newRow("found only at the sync")
        << Operation::SaveLog << log << qint64(1 << 20) << FullDisk::Found::AtSync;
    QTest::newRow("seed found only at the sync")
        << Operation::Seed << Files{} << qint64(1 << 20) << FullDisk::Found::AtSync;
}

void TestStoreFaults::fullDisk()
{
    QFETCH(Operation, operation);
    QFETCH(Files, files);
    QFETCH(qint64, freeBytes);
    QFETCH(FullDisk::Found, found);

    TempWorkDir dir;
    writeFiles(dir, files);
    {
        FullDisk full(dir.path(), freeBytes, found);
        const store::StoreResult result = perform(operation, dir.path());
        QVERIFY(full.refusals() > 0);
        QVERIFY(!result.ok);
        const QString reason = QString::fromLocal8Bit(std::strerror(ENOSPC));
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
    }
    verifyUnchanged(dir, files);

    // With room on the disk again the same operation goes through.
    QVERIFY(perform(operation, dir.path()).ok);
    verifyUnchanged(dir, afterSuccess(operation, files));
}

void TestStoreFaults::killedWhileSaving()
{
    // A child saves the two contents in turn until it is killed at a random
    // moment; whenever that is, the log must be one of them, whole.
    TempWorkDir dir;
    QVERIFY(LogStore().write(kLog, kOld).ok);

    // How long a save takes here, to place the kill anywhere inside one.
    QElapsedTimer timer;
    timer.start();
    constexpr int kTimedSaves = 20;
    for (int i = 0; i < kTimedSaves; ++i)
        QVERIFY(LogStore().write(kLog, i % 2 ? kOld : kNew).ok);
    const qint64 saveNs = std::max<qint64>(timer.nsecsElapsed() / kTimedSaves, 1000);
    QVERIFY(LogStore().write(kLog, kOld).ok);

    // Each kill waits for the sync in flight, so a slow disk gets fewer of them.
    constexpr int kKills = 200;
    constexpr int kAtLeast = 50;
    constexpr qint64 kBudgetMs = 60'000;
    QElapsedTimer budget;
    budget.start();
    int kills = 0;
    int oldSeen = 0;
    int newSeen = 0;
    QRandomGenerator random(20240611);
    for (; kills < kKills && (kills < kAtLeast || budget.elapsed() < kBudgetMs); ++kills) {
        // The child reports each save it finished with one byte, and why it
        // stopped should a save fail.
        ChildProcess child([&](int report) {
            for (unsigned n = 0;; ++n) {
                const store::StoreResult result = LogStore().write(kLog, n % 2 ? kOld : kNew);
                if (!result.ok) {
                    ChildProcess::send(report, "failed: " + result.error.toUtf8());
                    return;
                }
                ChildProcess::send(report, ".");
            }
        });
        // Let a random number of saves finish, then kill somewhere in the next
        // one or two. A busy wait, not a sleep: the scheduler's sleeps could not
        // place the kill that finely.
        const QByteArray finished = child.waitForReport(random.bounded(4));
        QVERIFY2(!finished.contains("failed"), finished.constData());
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::nanoseconds(random.bounded(2 * saveNs));
        while (std::chrono::steady_clock::now() < until) {
        }
        QVERIFY2(child.kill(), child.waitForReport(1000).constData());

        const QByteArray bytes = dir.read(kLog);
        QVERIFY2(bytes == kOldBytes || bytes == kNewBytes, bytes.constData());
        (bytes == kOldBytes ? oldSeen : newSeen) += 1;
        const store::ReadResult read = LogStore().read(kLog);
        QVERIFY(read.contents.allValid());
    }
    // Kills that struck at different points of the loop leave both contents.
    QVERIFY(oldSeen > 0 && newSeen > 0);

    // A kill between linking the finished temporary file under its own name and
    // renaming it over the log leaves it behind; it is always whole.
    const QRegularExpression temporaryName(QStringLiteral("^Basic\\.LOG\\.[A-Za-z0-9]{6}$"));
    QStringList left = entriesOf(dir);
    QVERIFY(left.removeOne(kLog));
    for (const QString& name : std::as_const(left)) {
        QVERIFY2(temporaryName.match(name).hasMatch(), qPrintable(name));
        QVERIFY(dir.read(name) == kOldBytes || dir.read(name) == kNewBytes);
    }
    qInfo("%d kills in %lld ms: old log %d times, new log %d times, %lld temporary files left",
          kills, budget.elapsed(), oldSeen, newSeen, static_cast<long long>(left.size()));
}

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "tst_StoreFaults.moc"
