#include "store/LogStore.h"

#include "support/TempWorkDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using store::LogFormat;
using store::LogStore;
using store::ReadResult;
using store::RemoveResult;

namespace {

using Captions = std::array<std::string, store::kItemCount>;

const QString kLog = QString::fromLatin1(store::kLogFileName);
const QString kBackup = QString::fromLatin1(store::kBackupFileName);
const Captions kExample{"2", "0", "15", "31", "12", "140"};
const QByteArray kExampleBytes("2\r\n0\r\n15\r\n31\r\n12\r\n140\r\n");
const QByteArray kOldBytes("4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n");

QStringList entriesOf(const TempWorkDir& dir)
{
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
}

// A directory standing where the file belongs, with something inside it so that
// a test can tell it was left alone.
void makeDirectoryNamed(const TempWorkDir& dir, const QString& name)
{
    QVERIFY(QDir(dir.path()).mkdir(name));
    dir.write(name + QLatin1String("/keep"), "kept");
}

void verifyDirectoryKept(const TempWorkDir& dir, const QString& name)
{
    QVERIFY(QFileInfo(dir.filePath(name)).isDir());
    QCOMPARE(dir.read(name + QLatin1String("/keep")), QByteArray("kept"));
}

int openFileCount()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count());
}

struct ChildWrite
{
    bool exited = false;
    bool ok = true;
    QString error;
};

// The write runs in a child process whose file size limit stops it partway, as
// a full disk would; SIGXFSZ is ignored so the write fails instead of killing the
// child. Unlike permission bits, the limit holds for root.
ChildWrite writeUnderSizeLimit(const QString& directory, rlim_t limit, const Captions& captions)
{
    int channel[2];
    if (::pipe(channel) != 0)
        qFatal("pipe failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &size) != 0)
            ::_exit(2);
        const store::StoreResult result = LogStore(directory).write(kLog, captions);
        const QByteArray report = (result.ok ? "1" : "0") + result.error.toUtf8();
        const bool sent = ::write(channel[1], report.constData(), report.size()) == report.size();
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    QByteArray report;
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);

    ChildWrite outcome;
    outcome.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !report.isEmpty();
    if (outcome.exited) {
        outcome.ok = report.startsWith('1');
        outcome.error = QString::fromUtf8(report.mid(1));
    }
    return outcome;
}

} // namespace

class TestLogStore : public QObject
{
    Q_OBJECT

private slots:
    void pathOfMatchesWithoutRegardToCase_data();
    void pathOfMatchesWithoutRegardToCase();
    void defaultDirectoryIsTheWorkingDirectory();

    void readMissing();
    void readFile();
    void readOtherCaseSpelling();
    void readDirectoryFails();
    void readFifoFailsWithoutBlocking();
    void readHugeFileFastAndBounded();
    void readLineCutAtTheLimit();

    void writeSaveForm();
    void writeReplacesALongerFile();
    void writeKeepsTheExistingSpelling();
    void seedLoadedThenWrittenGivesSixZeroLines();
    void failedWriteLeavesOldFileWhole();
    void writeOverDirectoryFails();

    void seedCreatesMissingLog();
    void seedNeverTouchesAnExistingFile_data();
    void seedNeverTouchesAnExistingFile();
    void seedNeverTouchesOtherCaseSpelling();
    void seedNeverTouchesADirectory();

    void removeFile();
    void removeMissing();
    void removeOtherCaseSpelling();
    void removeDirectoryFails();

    void noFileLeftOpen();
};

void TestLogStore::pathOfMatchesWithoutRegardToCase_data()
{
    QTest::addColumn<QStringList>("onDisk");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("resolved");

    QTest::newRow("absent") << QStringList{} << kLog << kLog;
    QTest::newRow("exact") << QStringList{kLog} << kLog << kLog;
    QTest::newRow("lower case") << QStringList{"basic.log"} << kLog << "basic.log";
    QTest::newRow("mixed case") << QStringList{"Basic.Log"} << kLog << "Basic.Log";
    QTest::newRow("exact preferred") << QStringList{"basic.log", kLog, "BASIC.LOG"} << kLog << kLog;
    QTest::newRow("log is not the backup") << QStringList{kBackup} << kLog << kLog;
    QTest::newRow("backup is not the log") << QStringList{"basic.log"} << kBackup << kBackup;
    QTest::newRow("backup in other case")
        << QStringList{"basic.log.backup"} << kBackup << "basic.log.backup";
    QTest::newRow("longer name") << QStringList{"xBasic.LOG", "Basic.LOGx"} << kLog << kLog;
}

void TestLogStore::pathOfMatchesWithoutRegardToCase()
{
    QFETCH(QStringList, onDisk);
    QFETCH(QString, asked);
    QFETCH(QString, resolved);

    TempWorkDir dir;
    for (const QString& name : onDisk)
        dir.write(name, name.toUtf8());
    const LogStore logStore(dir.path());
    QCOMPARE(QFileInfo(logStore.pathOf(asked)).fileName(), resolved);
    QCOMPARE(QFileInfo(logStore.pathOf(asked)).absolutePath(),
             QFileInfo(dir.path()).absoluteFilePath());
    QCOMPARE(logStore.exists(asked), onDisk.contains(resolved));
}

void TestLogStore::defaultDirectoryIsTheWorkingDirectory()
{
    TempWorkDir dir;
    QVERIFY(LogStore().write(kLog, kExample).ok);
    QCOMPARE(dir.read(kLog), kExampleBytes);
}

void TestLogStore::readMissing()
{
    TempWorkDir dir;
    dir.write(kBackup, kOldBytes);
    const ReadResult result = LogStore().read(kLog);
    QCOMPARE(result.status, ReadResult::Status::Missing);
    QVERIFY(!LogStore().exists(kLog));
}

void TestLogStore::readFile()
{
    TempWorkDir dir;
    dir.write(kLog, "4\r\n1\r\n 22 \r\nabc\r\n");
    const ReadResult result = LogStore().read(kLog);
    QCOMPARE(result.status, ReadResult::Status::Read);
    QCOMPARE(result.contents.captions, (Captions{"4", "1", "22", "0", "0", "0"}));
    QCOMPARE(result.contents.valid, (std::array<bool, 6>{true, true, true, false, false, false}));
    QCOMPARE(result.contents.itemsFound, std::size_t(4));
    QCOMPARE(result.contents.rawItems[3], std::string("abc"));
    QCOMPARE(dir.read(kLog), QByteArray("4\r\n1\r\n 22 \r\nabc\r\n"));
}

void TestLogStore::readOtherCaseSpelling()
{
    TempWorkDir dir;
    dir.write(QStringLiteral("basic.log"), kOldBytes);
    const ReadResult result = LogStore().read(kLog);
    QCOMPARE(result.status, ReadResult::Status::Read);
    QCOMPARE(result.contents.captions, (Captions{"4", "1", "22", "37", "19", "250"}));
}

void TestLogStore::readDirectoryFails()
{
    TempWorkDir dir;
    makeDirectoryNamed(dir, kLog);
    const ReadResult result = LogStore().read(kLog);
    QCOMPARE(result.status, ReadResult::Status::Failed);
    QVERIFY(!result.error.isEmpty());
}

void TestLogStore::readFifoFailsWithoutBlocking()
{
    TempWorkDir dir;
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(kLog)).constData(), 0600), 0);
    const ReadResult result = LogStore().read(kLog);
    QCOMPARE(result.status, ReadResult::Status::Failed);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(!LogStore().ensureLogSeeded().ok);
}

void TestLogStore::readHugeFileFastAndBounded()
{
    TempWorkDir dir;
    dir.write(kLog, "1\r\n2\r\n");
    {
        // Sparse: a gibibyte of NUL bytes on no disk space at all.
        QFile file(dir.filePath(kLog));
        QVERIFY(file.resize(qint64(1) << 30));
    }
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();

    const ReadResult result = LogStore().read(kLog);

    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    QVERIFY2(after.ru_maxrss - before.ru_maxrss < 64 * 1024, "the read grew by 64 MiB or more");
    QCOMPARE(result.status, ReadResult::Status::Read);
    QCOMPARE(result.contents.captions, (Captions{"1", "2", "0", "0", "0", "0"}));
    QCOMPARE(result.contents.valid, (std::array<bool, 6>{true, true, false, false, false, false}));
    QCOMPARE(result.contents.itemsFound, std::size_t(3));
}

void TestLogStore::readLineCutAtTheLimit()
{
    // The first kReadLimit bytes alone would read as a number; the file going on
    // past them is what makes the line a cut one.
    TempWorkDir dir;
    dir.write(kLog, QByteArray(static_cast<qsizetype>(LogFormat::kReadLimit), '0') + "5\r\n");
    const ReadResult result = LogStore().read(kLog);
    QCOMPARE(result.status, ReadResult::Status::Read);
    QVERIFY(!result.contents.valid[0]);
    QCOMPARE(result.contents.itemsFound, std::size_t(1));
}

void TestLogStore::writeSaveForm()
{
    TempWorkDir dir;
    const store::StoreResult result = LogStore(dir.path()).write(kLog, kExample);
    QVERIFY(result.ok);
    QVERIFY(result.error.isEmpty());
    QCOMPARE(dir.read(kLog), kExampleBytes);
    QCOMPARE(dir.read(kLog).size(), 23);
    QCOMPARE(entriesOf(dir), QStringList{kLog});
}

void TestLogStore::writeReplacesALongerFile()
{
    TempWorkDir dir;
    dir.write(kLog, QByteArray(5000, '9'));
    QVERIFY(LogStore().write(kLog, kExample).ok);
    QCOMPARE(dir.read(kLog), kExampleBytes);
}

void TestLogStore::writeKeepsTheExistingSpelling()
{
    TempWorkDir dir;
    dir.write(QStringLiteral("Basic.Log"), kOldBytes);
    dir.write(kBackup, kOldBytes);
    QVERIFY(LogStore().write(kLog, kExample).ok);
    QCOMPARE(entriesOf(dir), (QStringList{kBackup, QStringLiteral("Basic.Log")}));
    QCOMPARE(dir.read(QStringLiteral("Basic.Log")), kExampleBytes);
    QCOMPARE(dir.read(kBackup), kOldBytes);
}

void TestLogStore::seedLoadedThenWrittenGivesSixZeroLines()
{
    TempWorkDir dir;
    const LogStore logStore;
    QVERIFY(logStore.ensureLogSeeded().ok);
    const ReadResult loaded = logStore.read(kLog);
    QCOMPARE(loaded.status, ReadResult::Status::Read);
    QVERIFY(logStore.write(kLog, loaded.contents.captions).ok);
    QCOMPARE(dir.read(kLog), QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
}

void TestLogStore::failedWriteLeavesOldFileWhole()
{
    TempWorkDir dir;
    dir.write(kLog, kOldBytes);
    const ChildWrite outcome = writeUnderSizeLimit(dir.path(), 10, kExample);
    QVERIFY(outcome.exited);
    QVERIFY(!outcome.ok);
    QVERIFY(!outcome.error.isEmpty());
    QCOMPARE(dir.read(kLog), kOldBytes);
    QCOMPARE(entriesOf(dir), QStringList{kLog});

    // The same child with room enough does write: the limit, not the fork, failed it.
    const ChildWrite roomy = writeUnderSizeLimit(dir.path(), 1024, kExample);
    QVERIFY(roomy.exited);
    QVERIFY2(roomy.ok, qPrintable(roomy.error));
    QCOMPARE(dir.read(kLog), kExampleBytes);
}

void TestLogStore::writeOverDirectoryFails()
{
    TempWorkDir dir;
    makeDirectoryNamed(dir, kLog);
    const store::StoreResult result = LogStore().write(kLog, kExample);
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    verifyDirectoryKept(dir, kLog);
    QCOMPARE(entriesOf(dir), QStringList{kLog});
}

void TestLogStore::seedCreatesMissingLog()
{
    TempWorkDir dir;
    const store::SeedResult result = LogStore().ensureLogSeeded();
    QVERIFY(result.ok);
    QVERIFY(result.created);
    QVERIFY(result.error.isEmpty());
    QCOMPARE(dir.read(kLog), QByteArray(" 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"));
    QCOMPARE(dir.read(kLog).size(), 30);
}

void TestLogStore::seedNeverTouchesAnExistingFile_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("save form") << kOldBytes;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("fewer than six items") << QByteArray("7\r\n");
    QTest::newRow("not numbers") << QByteArray("abc\r\n\0\0\xff", 8);
}

void TestLogStore::seedNeverTouchesAnExistingFile()
{
    QFETCH(QByteArray, bytes);

    TempWorkDir dir;
    dir.write(kLog, bytes);
    const store::SeedResult result = LogStore().ensureLogSeeded();
    QVERIFY(result.ok);
    QVERIFY(!result.created);
    QCOMPARE(dir.read(kLog), bytes);
}

void TestLogStore::seedNeverTouchesOtherCaseSpelling()
{
    TempWorkDir dir;
    dir.write(QStringLiteral("basic.log"), kOldBytes);
    const store::SeedResult result = LogStore().ensureLogSeeded();
    QVERIFY(result.ok);
    QVERIFY(!result.created);
    QCOMPARE(entriesOf(dir), QStringList{QStringLiteral("basic.log")});
    QCOMPARE(dir.read(QStringLiteral("basic.log")), kOldBytes);
}

void TestLogStore::seedNeverTouchesADirectory()
{
    TempWorkDir dir;
    makeDirectoryNamed(dir, kLog);
    const store::SeedResult result = LogStore().ensureLogSeeded();
    QVERIFY(!result.ok);
    QVERIFY(!result.created);
    QVERIFY(!result.error.isEmpty());
    verifyDirectoryKept(dir, kLog);
    QCOMPARE(entriesOf(dir), QStringList{kLog});
}

void TestLogStore::removeFile()
{
    TempWorkDir dir;
    dir.write(kLog, kOldBytes);
    dir.write(kBackup, kOldBytes);
    const RemoveResult result = LogStore().remove(kBackup);
    QCOMPARE(result.status, RemoveResult::Status::Removed);
    QCOMPARE(entriesOf(dir), QStringList{kLog});
}

void TestLogStore::removeMissing()
{
    TempWorkDir dir;
    dir.write(kBackup, kOldBytes);
    QCOMPARE(LogStore().remove(kLog).status, RemoveResult::Status::Missing);
    QCOMPARE(entriesOf(dir), QStringList{kBackup});
}

void TestLogStore::removeOtherCaseSpelling()
{
    TempWorkDir dir;
    dir.write(QStringLiteral("BASIC.log"), kOldBytes);
    QCOMPARE(LogStore().remove(kLog).status, RemoveResult::Status::Removed);
    QVERIFY(entriesOf(dir).isEmpty());
}

void TestLogStore::removeDirectoryFails()
{
    TempWorkDir dir;
    makeDirectoryNamed(dir, kBackup);
    const RemoveResult result = LogStore().remove(kBackup);
    QCOMPARE(result.status, RemoveResult::Status::Failed);
    QVERIFY(!result.error.isEmpty());
    verifyDirectoryKept(dir, kBackup);
}

void TestLogStore::noFileLeftOpen()
{
    TempWorkDir dir;
    makeDirectoryNamed(dir, kBackup);
    const LogStore logStore;
    const int before = openFileCount();

    QVERIFY(logStore.ensureLogSeeded().ok);
    QCOMPARE(logStore.read(kLog).status, ReadResult::Status::Read);
    QVERIFY(logStore.write(kLog, kExample).ok);
    QCOMPARE(logStore.read(kBackup).status, ReadResult::Status::Failed);
    QVERIFY(!logStore.write(kBackup, kExample).ok);
    QCOMPARE(logStore.remove(kBackup).status, RemoveResult::Status::Failed);
    QCOMPARE(logStore.remove(kLog).status, RemoveResult::Status::Removed);

    QCOMPARE(openFileCount(), before);
}

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_LogStore.moc"
