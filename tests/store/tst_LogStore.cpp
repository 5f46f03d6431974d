#include "store/LogStore.h"

#include "support/TempWorkDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

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

enum class Operation
{
    Read,
    Write,
    Seed,
    Remove
};

// Whether the operation on the log succeeded, and the reason it gives.
std::pair<bool, QString> perform(Operation operation)
{
    const LogStore logStore;
    switch (operation) {
    case Operation::Read: {
        const ReadResult read = logStore.read(kLog);
        return {read.status != ReadResult::Status::Failed, read.error};
    }
    case Operation::Write: {
        const store::StoreResult written = logStore.write(kLog, kExample);
        return {written.ok, written.error};
    }
    case Operation::Seed: {
        const store::SeedResult seeded = logStore.ensureLogSeeded();
        return {seeded.ok || seeded.created, seeded.error};
    }
    case Operation::Remove: {
        const RemoveResult removed = logStore.remove(kLog);
        return {removed.status != RemoveResult::Status::Failed, removed.error};
    }
    }
    return {};
}

int openFileCount()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count());
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(RemoveResult::Status)

class TestLogStore : public QObject
{
    Q_OBJECT

private slots:
    void pathOfMatchesWithoutRegardToCase_data();
    void pathOfMatchesWithoutRegardToCase();

    void readMissing();
    void readFile();
    void readOtherCaseSpelling();
    void readFifoFailsWithoutBlocking();
    void readHugeFileFastAndBounded();
    void readLineCutAtTheLimit();

    void writeSaveForm_data();
    void writeSaveForm();
    void writeKeepsTheExistingSpelling();
    void seedLoadedThenWrittenGivesSixZeroLines();

    void seedCreatesMissingLog();
    void seedNeverTouchesAnExistingFile_data();
    void seedNeverTouchesAnExistingFile();

    void remove_data();
    void remove();

    void directoryInPlaceFails_data();
    void directoryInPlaceFails();

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

void TestLogStore::writeSaveForm_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no log yet

    QTest::newRow("new log") << QByteArray();
    QTest::newRow("over a longer log") << QByteArray(5000, '9');
}

void TestLogStore::writeSaveForm()
{
    QFETCH(QByteArray, before);

    TempWorkDir dir;
    if (!before.isNull())
        dir.write(kLog, before);
    const store::StoreResult result = LogStore().write(kLog, kExample);
    QVERIFY(result.ok);
    QVERIFY(result.error.isEmpty());
    QCOMPARE(dir.read(kLog), kExampleBytes);
    QCOMPARE(entriesOf(dir), QStringList{kLog});
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

void TestLogStore::seedCreatesMissingLog()
{
    TempWorkDir dir;
    const store::SeedResult result = LogStore().ensureLogSeeded();
    QVERIFY(result.ok);
    QVERIFY(result.created);
    QVERIFY(result.error.isEmpty());
    QCOMPARE(dir.read(kLog), QByteArray(" 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"));
}

void TestLogStore::seedNeverTouchesAnExistingFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("save form") << kLog << kOldBytes;
    QTest::newRow("other case spelling") << "basic.log" << kOldBytes;
    QTest::newRow("empty") << kLog << QByteArray();
    QTest::newRow("fewer than six items") << kLog << QByteArray("7\r\n");
    QTest::newRow("not numbers") << kLog << QByteArray("abc\r\n\0\0\xff", 8);
}

void TestLogStore::seedNeverTouchesAnExistingFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);

    TempWorkDir dir;
    dir.write(name, bytes);
    const store::SeedResult result = LogStore().ensureLogSeeded();
    QVERIFY(result.ok);
    QVERIFY(!result.created);
    QCOMPARE(entriesOf(dir), QStringList{name});
    QCOMPARE(dir.read(name), bytes);
}

void TestLogStore::remove_data()
{
    QTest::addColumn<QStringList>("onDisk");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<RemoveResult::Status>("status");
    QTest::addColumn<QStringList>("left");

    QTest::newRow("backup beside the log") << QStringList{kLog, kBackup} << kBackup
                                           << RemoveResult::Status::Removed << QStringList{kLog};
    QTest::newRow("missing log beside the backup")
        << QStringList{kBackup} << kLog << RemoveResult::Status::Missing << QStringList{kBackup};
    QTest::newRow("log in other case")
        << QStringList{"BASIC.log"} << kLog << RemoveResult::Status::Removed << QStringList{};
}

void TestLogStore::remove()
{
    QFETCH(QStringList, onDisk);
    QFETCH(QString, removed);
    QFETCH(RemoveResult::Status, status);
    QFETCH(QStringList, left);

    TempWorkDir dir;
    for (const QString& name : onDisk)
        dir.write(name, kOldBytes);
    QCOMPARE(LogStore().remove(removed).status, status);
    QCOMPARE(entriesOf(dir), left);
}

void TestLogStore::directoryInPlaceFails_data()
{
    QTest::addColumn<Operation>("operation");

    QTest::newRow("read") << Operation::Read;
    QTest::newRow("write") << Operation::Write;
    QTest::newRow("seed") << Operation::Seed;
    QTest::newRow("remove") << Operation::Remove;
}

void TestLogStore::directoryInPlaceFails()
{
    QFETCH(Operation, operation);

    TempWorkDir dir;
    makeDirectoryNamed(dir, kLog);
    const auto [ok, error] = perform(operation);
    QVERIFY(!ok);
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(dir.filePath(kLog)).isDir());
    QCOMPARE(dir.read(kLog + QLatin1String("/keep")), QByteArray("kept"));
    QCOMPARE(entriesOf(dir), QStringList{kLog});
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
