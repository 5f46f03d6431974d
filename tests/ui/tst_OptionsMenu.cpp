#include "ui/WindowTest.h"

#include "ui/CaptionLabel.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QTemporaryDir>

namespace {
const QByteArray kNone = "(none)";
const QByteArray kLog = "4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n";
const QByteArray kBackup = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n";
const QByteArray kLogLf = "4\n1\n22\n37\n19\n250\n";
const QString kRestored = "1|2|3|4|5|6";
const QString kShown = "4|1|22|37|19|250";
const QString kQuestion = "Status|YesNo|0|Restore complete.  Would you like to replace the current "
                          ".LOG file(s) with the backup .LOG files at this time?";
const QString kEraseBackups = "Please Verify Requested Action|YesNo|0|You have indicated that you "
                              "wish to ERASE ALL BACKUP FILES.  Are you sure this is what you wish "
                              "to do?";
const QString kEraseLogs = "Confirm Requested Action|YesNo,No|3|You have indicated that you wish "
                           "to ERASE YOUR PRIMARY LOG FILE(S).  Are you SURE this is what you want "
                           "to do?";
} // namespace

class TestOptionsMenu : public QObject
{
    Q_OBJECT

private slots:
    void init() { beginWindowTest(); }
    void cleanup() { endWindowTest(); }
    void operation_data();
    void operation();
    void failedBackUpSaysWhichFileAndWritesTheOther();
};

void TestOptionsMenu::operation_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("log");    // at start; kNone: deleted before the entry is chosen
    QTest::addColumn<QByteArray>("backup"); // kNone: absent
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QByteArray>("logAfter");
    QTest::addColumn<QByteArray>("backupAfter");
    QTest::addColumn<QString>("counts");
    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    const QByteArray lf = kLogLf;

    QTest::newRow("back up") << "mnuBackUpNow" << lf << kBackup << QList<int>{}
                             << QStringList{"Zoredev|Ok|0|Log files have been backed up."} << kLog
                             << kLog << kShown;
    QTest::newRow("back up without a log")
        << "mnuBackUpNow" << kNone << kNone << QList<int>{}
        << QStringList{"Zoredev|Ok|0|Log files have been backed up."} << kLog << kLog << kShown;
    const QStringList noBackup{"Zoredev|Ok|0|There are no backup files to restore."};
    QTest::newRow("restore, no backup") << "mnuRestoreFromBackup" << lf << kNone << QList<int>{}
                                        << noBackup << lf << kNone << kShown;
    QTest::newRow("restore, three lines")
        << "mnuRestoreFromBackup" << lf << QByteArray("1\n2\n3\n") << QList<int>{} << noBackup << lf
        << QByteArray("1\n2\n3\n") << kShown;
    QTest::newRow("restore, no") << "mnuRestoreFromBackup" << lf << kBackup << QList<int>{no}
                                 << QStringList{kQuestion} << lf << kBackup << kRestored;
    QTest::newRow("restore, yes") << "mnuRestoreFromBackup" << lf << QByteArray(" 1\n2\n3\n4\n5\n6")
                                  << QList<int>{yes} << QStringList{kQuestion} << kBackup << kBackup
                                  << kRestored;
    QTest::newRow("restore, yes, no log")
        << "mnuRestoreFromBackup" << kNone << kBackup << QList<int>{yes} << QStringList{kQuestion}
        << kBackup << kBackup << kRestored;
    QTest::newRow("restore, damaged")
        << "mnuRestoreFromBackup" << lf << QByteArray("1\nx\n3\n4\n5\n6\n") << QList<int>{yes, no}
        << QStringList{"Zoredev|Ok|2|The file Basic.LOG.Backup is damaged:\n\nLine 2 (Half Dollar "
                       "Coins) holds \"x\", which is not a number.\n\nThese counts are taken as 0. "
                       " "
                       "The file is not changed until you save.",
                       kQuestion}
        << lf << QByteArray("1\nx\n3\n4\n5\n6\n") << "1|0|3|4|5|6";
    QTest::newRow("delete backups, no") << "mnuDeleteBackups" << lf << kBackup << QList<int>{no}
                                        << QStringList{kEraseBackups} << lf << kBackup << kShown;
    QTest::newRow("delete backups, yes")
        << "mnuDeleteBackups" << lf << kBackup << QList<int>{yes}
        << QStringList{kEraseBackups, "Operation Status|Ok|0|Backup file(s) have been DELETED."}
        << lf << kNone << kShown;
    QTest::newRow("delete backups, none there")
        << "mnuDeleteBackups" << lf << kNone << QList<int>{yes}
        << QStringList{kEraseBackups, "Zoredev|Ok|0|There are no backup files to delete."} << lf
        << kNone << kShown;
    QTest::newRow("delete logs, Enter") << "mnuDeleteLogs" << lf << kBackup << QList<int>{}
                                        << QStringList{kEraseLogs} << lf << kBackup << kShown;
    QTest::newRow("delete logs, yes")
        << "mnuDeleteLogs" << lf << kBackup << QList<int>{yes}
        << QStringList{kEraseLogs, "Status of Operation|Ok|2|Log file(s) have been DELETED."}
        << kNone << kBackup << "0|0|0|0|0|0";
    QTest::newRow("delete logs, none there")
        << "mnuDeleteLogs" << kNone << kBackup << QList<int>{yes}
        << QStringList{kEraseLogs, "Zoredev|Ok|0|There are no LOG files to delete."} << kNone
        << kBackup << kShown;
}

void TestOptionsMenu::operation()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, log);
    QFETCH(QByteArray, backup);
    QFETCH(QList<int>, answers);
    QTemporaryDir dir;
    const auto put = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    const auto get = [&](const QString& name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : kNone;
    };
    put("Basic.LOG", log == kNone ? kLogLf : log);
    if (backup != kNone)
        put("Basic.LOG.Backup", backup);
    MainWindow window(dir.path());
    window.start();
    if (log == kNone)
        QVERIFY(QFile::remove(dir.filePath("Basic.LOG")));
    for (const int answer : answers)
        MessageBox::setNextAnswer(MessageBox::Button(answer));
    window.findChild<QAction*>(entry)->trigger();

    QTEST(takeShownBoxes(), "boxes");
    QTEST(get("Basic.LOG"), "logAfter");
    QTEST(get("Basic.LOG.Backup"), "backupAfter");
    QStringList counts;
    int total = 0;
    for (CaptionLabel* label : window.ui().countLabels) {
        counts << label->text();
        total += label->text().toInt();
    }
    QTEST(counts.join('|'), "counts");
    QCOMPARE(window.ui().logged.coinTotal->text(), QString::number(total));
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
        QVERIFY2(name == "Basic.LOG" || name == "Basic.LOG.Backup", qPrintable(name));
}

void TestOptionsMenu::failedBackUpSaysWhichFileAndWritesTheOther()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("Basic.LOG.Backup/in"));
    MainWindow window(dir.path());
    window.start();
    window.findChild<QAction*>("mnuBackUpNow")->trigger();
    const QStringList boxes = takeShownBoxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].startsWith("Zoredev|Ok|2|Cannot write Basic.LOG.Backup: ") &&
                 boxes[0].endsWith("The back-up is not complete.  Your logged finds are still "
                                   "shown and nothing on disk was lost."),
             qPrintable(boxes[0]));
    QFile log(dir.filePath("Basic.LOG"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), QByteArray("0\r\n").repeated(6));
    window.findChild<QAction*>("mnuDeleteBackups")->trigger();
    QVERIFY(takeShownBoxes().value(1).startsWith("Zoredev|Ok|2|Cannot delete Basic.LOG.Backup: "));
}

QTEST_MAIN(TestOptionsMenu)
#include "tst_OptionsMenu.moc"
