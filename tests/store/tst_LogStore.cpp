#include "store/LogStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace store;

namespace {
const QByteArray kLog = "4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n";
const std::array<std::string, kItemCount> kCaptions{"4", "1", "22", "37", "19", "250"};
using Status = ReadResult::Status;
} // namespace

class TestLogStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const char* name) const { return m_dir->filePath(name); }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // The captions each item gives, a bad or missing one marked with a *.
    void readsWhatAFileHolds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("items");
        const QString counts = "4 1 22 37 19 250";
        QTest::newRow("save form") << kLog << counts;
        QTest::newRow("bare LF, no end") << QByteArray("4\n1\n22\n37\n19\n250") << counts;
        QTest::newRow("seed form") << QByteArray(" 0 \r\n").repeated(6) << "0 0 0 0 0 0";
        QTest::newRow("blanks and number forms")
            << QByteArray(" 12 \n\t2.5\t\n1e3\n-7\n+007\n1e308\n") << "12 2.5 1000 -7 7 1E+308";
        QTest::newRow("more than six") << kLog + "junk\r\n99\r\n" << counts;
        QTest::newRow("three items") << QByteArray("4\r\n1\r\n22\r\n") << "4 1 22 0* 0* 0*";
        QTest::newRow("empty") << QByteArray() << "0* 0* 0* 0* 0* 0*";
        QTest::newRow("text and blank lines")
            << QByteArray("abc\n\n1,5\n  \n9\n\"5\"\n") << "0* 0* 0* 0* 9 0*";
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
        writeFile(path("Basic.LOG"), bytes);
        const ReadResult result = LogStore(m_dir->path()).read("Basic.LOG");
        QCOMPARE(result.status, Status::Read);
        QStringList items;
        for (std::size_t i = 0; i < kItemCount; ++i)
            items << QString::fromStdString(result.contents.captions[i]) +
                         (result.contents.valid[i] ? "" : "*");
        QTEST(items.join(' '), "items");
        QCOMPARE(result.contents.allValid(), !items.join(' ').contains('*'));
        QCOMPARE(readFile(path("Basic.LOG")), bytes);
    }

    void formsAreByteExact()
    {
        QCOMPARE(q(LogFormat::saveForm(kCaptions)), kLog);
        QCOMPARE(q(LogFormat::saveForm({"-3", " 1", "", "x", "0", "0"})),
                 "-3\r\n 1\r\n\r\nx\r\n0\r\n0\r\n");
        QCOMPARE(q(LogFormat::seedForm()), QByteArray(" 0 \r\n").repeated(6));
        // A bad item is quoted to the user readably and briefly.
        const LogContents quoted = LogFormat::parse("ok\x01\n" + std::string(50, 'x') + "\n");
        QCOMPARE(quoted.rawItems[0], "ok?");
        QCOMPARE(quoted.rawItems[1], std::string(40, 'x') + "...");
    }

    void seedsOnlyAMissingLog()
    {
        const LogStore store(m_dir->path());
        SeedResult seeded = store.ensureLogSeeded();
        QVERIFY(seeded.ok && seeded.created);
        QCOMPARE(readFile(path("Basic.LOG")), QByteArray(" 0 \r\n").repeated(6));
        writeFile(path("Basic.LOG"), "junk");
        seeded = store.ensureLogSeeded();
        QVERIFY(seeded.ok && !seeded.created);
        QCOMPARE(readFile(path("Basic.LOG")), "junk");
    }

    void namesMatchWithoutRegardToCase()
    {
        writeFile(path("basic.log"), kLog);
        const LogStore store(m_dir->path());
        QVERIFY(store.exists("Basic.LOG") && !store.exists("Basic.LOG.Backup"));
        QCOMPARE(store.read("Basic.LOG").contents.captions, kCaptions);
        QVERIFY(store.ensureLogSeeded().ok);
        QVERIFY(store.write("Basic.LOG", {"1", "1", "1", "1", "1", "1"}).ok);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"basic.log"});
        QCOMPARE(readFile(path("basic.log")), QByteArray("1\r\n").repeated(6));
        QCOMPARE(store.remove("BASIC.log").status, RemoveResult::Status::Removed);
        QCOMPARE(store.read("Basic.LOG").status, Status::Missing);
    }

    // A directory in the log's place: nothing is written, and the reason is given.
    void failuresLeaveTheFilesWholeAndSayWhy()
    {
        const LogStore store(m_dir->path());
        QCOMPARE(store.remove("Basic.LOG").status, RemoveResult::Status::Missing);
        QVERIFY(store.write("Basic.LOG.Backup", kCaptions).ok);
        QVERIFY(QDir(m_dir->path()).mkpath("Basic.LOG/inside"));
        const StoreResult written = store.write("Basic.LOG", kCaptions);
        QVERIFY(!written.ok && !written.error.isEmpty());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"Basic.LOG.Backup"});
        QCOMPARE(readFile(path("Basic.LOG.Backup")), kLog);
        const SeedResult seeded = store.ensureLogSeeded();
        QVERIFY(!seeded.ok && !seeded.error.isEmpty());
        QCOMPARE(store.read("Basic.LOG").status, Status::Failed);
        const RemoveResult removed = store.remove("Basic.LOG");
        QVERIFY(removed.status == RemoveResult::Status::Failed && !removed.error.isEmpty());
        // A reader blocked on a FIFO would hang the start for good.
        QVERIFY(QDir(path("Basic.LOG")).removeRecursively());
        QCOMPARE(::mkfifo(QFile::encodeName(path("Basic.LOG")).constData(), 0600), 0);
        QVERIFY(store.read("Basic.LOG").error.contains("not a regular file"));
        QVERIFY(!store.ensureLogSeeded().ok);
    }

private:
    static QByteArray q(const std::string& text) { return QByteArray::fromStdString(text); }
};

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_LogStore.moc"
