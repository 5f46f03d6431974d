#include "store/LogStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace store;

// What the window's tests do not reach: the reader's corners, and the store's own
// answers. Saving, seeding and the names in other letter cases are the window's.
class TestLogStore : public QObject
{
    Q_OBJECT

private slots:
    // The caption each item gives, one that is bad or missing marked with a *.
    void readsWhatAFileHolds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("items");
        QTest::newRow("bare LF, no end")
            << QByteArray("4\n1\n22\n37\n19\n250") << "4 1 22 37 19 250";
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
        for (std::size_t i = 0; i < kItemCount; ++i)
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
    }

    // A reader blocked on a FIFO would hang the start for good.
    void refusesWhatIsNotARegularFile()
    {
        QTemporaryDir dir;
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("Basic.LOG")).constData(), 0600), 0);
        const LogStore store(dir.path());
        QVERIFY(store.read("Basic.LOG").error.contains("not a regular file"));
        QVERIFY(!store.ensureLogSeeded().ok);
    }
};

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_LogStore.moc"
