#include "store/LogStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace store;

namespace {
QString joined(const std::array<std::string, kItemCount>& items)
{
    QStringList out;
    for (const std::string& item : items)
        out << QString::fromStdString(item);
    return out.join('|');
}

QString validity(const LogContents& contents)
{
    QString mask;
    for (bool valid : contents.valid)
        mask += valid ? '1' : '0';
    return mask;
}

const QByteArray kLog = "4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n";
const std::array<std::string, kItemCount> kCaptions{"4", "1", "22", "37", "19", "250"};
} // namespace

class TestLogStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsWhatAFileHolds_data();
    void readsWhatAFileHolds();
    void formsAreByteExact();
    void seedsOnlyAMissingLog();
    void namesMatchWithoutRegardToCase();
    void writeReplacesTheFileOrLeavesItWhole();
    void removeTellsMissingFromFailed();
    void refusesWhatIsNotARegularFile();

private:
    QByteArray read(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLogStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

QByteArray TestLogStore::read(const QString& name) const
{
    QFile file(m_dir->filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void TestLogStore::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(m_dir->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestLogStore::readsWhatAFileHolds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("captions");
    QTest::addColumn<QString>("valid");
    QTest::addColumn<int>("itemsFound");
    const QString counts = "4|1|22|37|19|250", zeros = "0|0|0|0|0|0";
    QTest::newRow("save form") << kLog << counts << "111111" << 6;
    QTest::newRow("bare LF, no end")
        << QByteArray("4\n1\n22\n37\n19\n250") << counts << "111111" << 6;
    QTest::newRow("seed form") << QByteArray(" 0 \r\n").repeated(6) << zeros << "111111" << 6;
    QTest::newRow("blanks and number forms")
        << QByteArray(" 12 \n\t2.5\t\n1e3\n-7\n+007\n1e308\n") << "12|2.5|1000|-7|7|1E+308"
        << "111111" << 6;
    QTest::newRow("more than six") << kLog + "junk\r\n99\r\n" << counts << "111111" << 6;
    QTest::newRow("three items") << QByteArray("4\r\n1\r\n22\r\n") << "4|1|22|0|0|0"
                                 << "111000" << 3;
    QTest::newRow("empty") << QByteArray() << zeros << "000000" << 0;
    QTest::newRow("text and blank lines")
        << QByteArray("abc\n\n1,5\n  \n9\n\"5\"\n") << "0|0|0|0|9|0"
        << "000010" << 6;
    QTest::newRow("beyond the range")
        << QByteArray("1e999\n-1e999\n1.7976931348623157e308\n1\n1\n1\n") << "0|0|0|1|1|1"
        << "000111" << 6;
    // Only the first 64 KiB are read: a line still running there is cut, not a number.
    QTest::newRow("a line running past the read limit")
        << "5\n" + QByteArray(LogFormat::kReadLimit, '7') << "5|0|0|0|0|0"
        << "100000" << 2;
    QTest::newRow("a line ending at the read limit")
        << "5\n" + QByteArray(LogFormat::kReadLimit - 4, '0') + "7\n"
        << "5|7|0|0|0|0"
        << "110000" << 2;
}

void TestLogStore::readsWhatAFileHolds()
{
    QFETCH(QByteArray, bytes);
    write("Basic.LOG", bytes);
    const ReadResult result = LogStore(m_dir->path()).read("Basic.LOG");
    QCOMPARE(int(result.status), int(ReadResult::Status::Read));
    QTEST(joined(result.contents.captions), "captions");
    QTEST(validity(result.contents), "valid");
    QTEST(int(result.contents.itemsFound), "itemsFound");
    QCOMPARE(result.contents.allValid(), !validity(result.contents).contains('0'));
    QCOMPARE(read("Basic.LOG"), bytes);
}

void TestLogStore::formsAreByteExact()
{
    QCOMPARE(QByteArray::fromStdString(LogFormat::saveForm(kCaptions)), kLog);
    QCOMPARE(QByteArray::fromStdString(LogFormat::saveForm({"-3", " 1", "", "x", "0", "0"})),
             "-3\r\n 1\r\n\r\nx\r\n0\r\n0\r\n");
    QCOMPARE(QByteArray::fromStdString(LogFormat::seedForm()), QByteArray(" 0 \r\n").repeated(6));
    const LogContents quoted = LogFormat::parse("ok\x01\n" + std::string(50, 'x') + "\n");
    QCOMPARE(quoted.rawItems[0], "ok?");
    QCOMPARE(quoted.rawItems[1], std::string(40, 'x') + "...");
}

void TestLogStore::seedsOnlyAMissingLog()
{
    const LogStore store(m_dir->path());
    SeedResult seeded = store.ensureLogSeeded();
    QVERIFY(seeded.ok && seeded.created);
    QCOMPARE(read("Basic.LOG"), QByteArray(" 0 \r\n").repeated(6));
    write("Basic.LOG", "junk");
    seeded = store.ensureLogSeeded();
    QVERIFY(seeded.ok && !seeded.created);
    QCOMPARE(read("Basic.LOG"), "junk");
}

void TestLogStore::namesMatchWithoutRegardToCase()
{
    write("basic.log", kLog);
    const LogStore store(m_dir->path());
    QVERIFY(store.exists("Basic.LOG"));
    QVERIFY(!store.exists("Basic.LOG.Backup"));
    QCOMPARE(joined(store.read("Basic.LOG").contents.captions), "4|1|22|37|19|250");
    QVERIFY(store.ensureLogSeeded().ok);
    QVERIFY(store.write("Basic.LOG", {"1", "1", "1", "1", "1", "1"}).ok);
    QCOMPARE(read("basic.log"), QByteArray("1\r\n").repeated(6));
    QVERIFY(!QFile::exists(m_dir->filePath("Basic.LOG")));
    QCOMPARE(int(store.remove("BASIC.log").status), int(RemoveResult::Status::Removed));
    QVERIFY(!store.exists("Basic.LOG"));
    QCOMPARE(int(store.read("Basic.LOG").status), int(ReadResult::Status::Missing));
}

void TestLogStore::writeReplacesTheFileOrLeavesItWhole()
{
    const LogStore store(m_dir->path());
    QVERIFY(store.write("Basic.LOG.Backup", kCaptions).ok);
    QCOMPARE(read("Basic.LOG.Backup"), kLog);
    QVERIFY(QDir(m_dir->path()).mkpath("Basic.LOG/inside"));
    const StoreResult failed = store.write("Basic.LOG", kCaptions);
    QVERIFY(!failed.ok);
    QVERIFY(!failed.error.isEmpty());
    QVERIFY(QFileInfo(m_dir->filePath("Basic.LOG")).isDir());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"Basic.LOG.Backup"});
    const SeedResult seeded = store.ensureLogSeeded();
    QVERIFY(!seeded.ok && !seeded.error.isEmpty());
    QCOMPARE(int(store.read("Basic.LOG").status), int(ReadResult::Status::Failed));
}

void TestLogStore::removeTellsMissingFromFailed()
{
    const LogStore store(m_dir->path());
    QCOMPARE(int(store.remove("Basic.LOG").status), int(RemoveResult::Status::Missing));
    QVERIFY(QDir(m_dir->path()).mkpath("Basic.LOG/inside"));
    const RemoveResult failed = store.remove("Basic.LOG");
    QCOMPARE(int(failed.status), int(RemoveResult::Status::Failed));
    QVERIFY(!failed.error.isEmpty());
}

void TestLogStore::refusesWhatIsNotARegularFile()
{
    // A reader blocked on a FIFO would hang the start for good.
    QCOMPARE(::mkfifo(QFile::encodeName(m_dir->filePath("Basic.LOG")).constData(), 0600), 0);
    const LogStore store(m_dir->path());
    const ReadResult result = store.read("Basic.LOG");
    QCOMPARE(int(result.status), int(ReadResult::Status::Failed));
    QVERIFY(result.error.contains("not a regular file"));
    QVERIFY(!store.ensureLogSeeded().ok);
}

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_LogStore.moc"
