#include "WindowTest.h"
#include "support/TempWorkDir.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>
#include <signal.h>
#include <sys/resource.h>

namespace {
const QByteArray kLog = "4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n";
const QByteArray kBackup = "9\r\n8\r\n7\r\n6\r\n5\r\n4\r\n";
const QStringList kLogCounts{"4", "1", "22", "37", "19", "250"};
const QStringList kBackupCounts{"9", "8", "7", "6", "5", "4"};
const char* const kCounts[] = {"lblDollarCoins_0", "lblHalfDollarCoins_0", "lblQuarters_0",
                               "lblDimes_0",       "lblNickels_0",         "lblPennies_0"};
const QString kRestoreQuestion =
    "Restore complete.  Would you like to replace the current .LOG file(s) with the backup .LOG "
    "files at this time?";
const QString kDeleteLogsQuestion =
    "You have indicated that you wish to ERASE YOUR PRIMARY LOG FILE(S).  Are you SURE this is "
    "what you want to do?";
const QString kDeleteBackupsQuestion =
    "You have indicated that you wish to ERASE ALL BACKUP FILES.  Are you sure this is what you "
    "wish to do?";
} // namespace

class TestOptionsMenu : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void backUpWritesBothFilesFromTheWindow();
    void backUpSurvivesExitWithoutSaving();
    void backUpFailureIsReportedNotCelebrated();
    void restoreWithoutBackup();
    void restoreAnsweredNo();
    void restoreAnsweredYes();
    void restoreAfterTheLogWasDeleted();
    void restoreFromAShortBackupChangesNothing();
    void restoreFromADamagedBackupTellsTheUser();
    void restoreKeepsTheLogInItsOwnSpelling();
    void deleteBackups_data();
    void deleteBackups();
    void deleteLogs_data();
    void deleteLogs();
    void deleteLogsThenExitSeedsTheNextStart();
    void deletionThatFailsSaysWhy();
    void deleteLogsQuestionDefaultsToNo();

private:
    void startWindow();
    void trigger(const char* action) { m_window->findChild<QAction*>(action)->trigger(); }
    QStringList counts() const;
    QStringList texts() const;
    // Every box shown so far as "title | style | text", so one comparison checks all.
    static QString box(const QString& title, int style, const QString& text);
    QStringList boxes() const;

    std::unique_ptr<TempWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void TestOptionsMenu::init()
{
    beginWindowTest();
    m_dir = std::make_unique<TempWorkDir>();
}

void TestOptionsMenu::cleanup()
{
    m_window.reset();
    endWindowTest();
    m_dir.reset();
}

void TestOptionsMenu::startWindow()
{
    m_window = std::make_unique<MainWindow>();
    m_window->start();
    MessageBox::clear();
}

QStringList TestOptionsMenu::counts() const
{
    QStringList captions;
    for (const char* name : kCounts)
        captions << m_window->findChild<QLabel*>(name)->text();
    return captions;
}

QStringList TestOptionsMenu::texts() const
{
    QStringList shown;
    for (const auto& record : MessageBox::history())
        shown << record.text;
    return shown;
}

QString TestOptionsMenu::box(const QString& title, int style, const QString& text)
{
    return QStringLiteral("%1 | %2 | %3").arg(title).arg(style).arg(text);
}

QStringList TestOptionsMenu::boxes() const
{
    QStringList shown;
    for (const auto& record : MessageBox::history())
        shown << box(record.title, record.style, record.text);
    return shown;
}

void TestOptionsMenu::backUpWritesBothFilesFromTheWindow()
{
    m_dir->write("Basic.LOG", " 4 \n1\n22\n37\n19\n250\nleft over\n");
    startWindow();
    MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuBackUpNow");
    QCOMPARE(texts(), QStringList{"Log files have been backed up."});
    QCOMPARE(MessageBox::history().first().title, "Zoredev");
    QCOMPARE(MessageBox::history().first().style, 0);
    QCOMPARE(m_dir->read("Basic.LOG"), kLog);
    QCOMPARE(m_dir->read("Basic.LOG.Backup"), kLog);
    QCOMPARE(counts(), kLogCounts);
}

void TestOptionsMenu::backUpSurvivesExitWithoutSaving()
{
    m_dir->write("Basic.LOG", kLog);
    startWindow();
    m_window->findChild<QLineEdit*>("txtPennies")->setText("50");
    m_window->findChild<QPushButton*>("cmdAdd")->click();
    MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuBackUpNow");
    trigger("mnuExit");
    m_window.reset();
    MessageBox::clear();

    startWindow();
    QCOMPARE(counts(), (QStringList{"4", "1", "22", "37", "19", "300"}));
    QCOMPARE(m_dir->read("Basic.LOG.Backup"), QByteArray("4\r\n1\r\n22\r\n37\r\n19\r\n300\r\n"));
}

void TestOptionsMenu::backUpFailureIsReportedNotCelebrated()
{
    m_dir->write("Basic.LOG", kLog);
    m_dir->write("Basic.LOG.Backup", kBackup);
    startWindow();
    m_window->findChild<QLineEdit*>("txtDimes")->setText("3");
    m_window->findChild<QPushButton*>("cmdAdd")->click();
    // A directory in the backup's place cannot be replaced, whoever runs the test.
    QVERIFY(QFile::remove(m_dir->filePath("Basic.LOG.Backup")));
    QVERIFY(QDir(m_dir->path()).mkdir("Basic.LOG.Backup"));
    MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuBackUpNow");
    QCOMPARE(MessageBox::history().size(), 1);
    const QString text = MessageBox::history().first().text;
    QVERIFY2(text.startsWith("Cannot write Basic.LOG.Backup: ") && !text.contains("backed up."),
             qPrintable(text));
    QCOMPARE(MessageBox::history().first().style, int(MessageBox::ExclamationIcon));
    // The log itself was still written.
    QCOMPARE(m_dir->read("Basic.LOG"), QByteArray("4\r\n1\r\n22\r\n40\r\n19\r\n250\r\n"));
}

void TestOptionsMenu::restoreWithoutBackup()
{
    m_dir->write("Basic.LOG", kLog);
    startWindow();
    MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuRestoreFromBackup");
    QCOMPARE(texts(), QStringList{"There are no backup files to restore."});
    QCOMPARE(MessageBox::history().first().title, "Zoredev");
    QCOMPARE(counts(), kLogCounts);
    QCOMPARE(m_dir->read("Basic.LOG"), kLog);
    QVERIFY(!QFile::exists(m_dir->filePath("Basic.LOG.Backup")));
}

void TestOptionsMenu::restoreAnsweredNo()
{
    m_dir->write("Basic.LOG", kLog);
    m_dir->write("Basic.LOG.Backup", " 9 \n8\n7\n6\n5\n4\n");
    startWindow();
    MessageBox::setNextAnswer(MessageBox::No);
    trigger("mnuRestoreFromBackup");
    QCOMPARE(texts(), QStringList{kRestoreQuestion});
    QCOMPARE(MessageBox::history().first().title, "Status");
    QCOMPARE(MessageBox::history().first().style, int(MessageBox::YesNo));
    QCOMPARE(counts(), kBackupCounts);
    QCOMPARE(m_window->findChild<QLabel*>("lblTotalCoins")->text(), "39");
    QCOMPARE(m_dir->read("Basic.LOG"), kLog);
    QCOMPARE(m_dir->read("Basic.LOG.Backup"), QByteArray(" 9 \n8\n7\n6\n5\n4\n"));
}

void TestOptionsMenu::restoreAnsweredYes()
{
    m_dir->write("Basic.LOG", kLog);
    m_dir->write("Basic.LOG.Backup", " 9 \n8\n7\n6\n5\n4\nmore\n");
    startWindow();
    MessageBox::setNextAnswer(MessageBox::Yes);
    trigger("mnuRestoreFromBackup");
    QCOMPARE(texts(), QStringList{kRestoreQuestion});
    QCOMPARE(counts(), kBackupCounts);
    QCOMPARE(m_dir->read("Basic.LOG"), kBackup);
    QCOMPARE(m_dir->read("Basic.LOG.Backup"), kBackup);
}

void TestOptionsMenu::restoreAfterTheLogWasDeleted()
{
    m_dir->write("Basic.LOG", kLog);
    m_dir->write("Basic.LOG.Backup", kBackup);
    startWindow();
    MessageBox::setNextAnswer(MessageBox::Yes);
    MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuDeleteLogs");
    QVERIFY(!QFile::exists(m_dir->filePath("Basic.LOG")));
    MessageBox::clear();
    MessageBox::setNextAnswer(MessageBox::Yes);
    trigger("mnuRestoreFromBackup");
    QCOMPARE(texts(), QStringList{kRestoreQuestion});
    QCOMPARE(counts(), kBackupCounts);
    QCOMPARE(m_dir->read("Basic.LOG"), kBackup);
    QCOMPARE(m_dir->read("Basic.LOG.Backup"), kBackup);
}

void TestOptionsMenu::restoreFromAShortBackupChangesNothing()
{
    m_dir->write("Basic.LOG", kLog);
    m_dir->write("Basic.LOG.Backup", "9\r\n8\r\n7\r\n");
    startWindow();
    MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuRestoreFromBackup");
    QCOMPARE(texts(), QStringList{"There are no backup files to restore."});
    QCOMPARE(counts(), kLogCounts);
    QCOMPARE(m_dir->read("Basic.LOG"), kLog);
    QCOMPARE(m_dir->read("Basic.LOG.Backup"), QByteArray("9\r\n8\r\n7\r\n"));
    // Nothing was left open: the next save goes through.
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    m_window->findChild<QPushButton*>("cmdExit")->click();
    QCOMPARE(ending.count(), 1);
}

void TestOptionsMenu::restoreFromADamagedBackupTellsTheUser()
{
    m_dir->write("Basic.LOG", kLog);
    m_dir->write("Basic.LOG.Backup", "9\r\nnine\r\n7\r\n6\r\n5\r\n4\r\n");
    startWindow();
    MessageBox::setNextAnswer(MessageBox::Ok);
    MessageBox::setNextAnswer(MessageBox::No);
    trigger("mnuRestoreFromBackup");
    QCOMPARE(MessageBox::history().size(), 2);
    QVERIFY(texts().first().contains("Basic.LOG.Backup"));
    QVERIFY(texts().first().contains("\"nine\""));
    QCOMPARE(texts().last(), kRestoreQuestion);
    QCOMPARE(counts(), (QStringList{"9", "0", "7", "6", "5", "4"}));
}

void TestOptionsMenu::restoreKeepsTheLogInItsOwnSpelling()
{
    m_dir->write("basic.log", kLog);
    m_dir->write("BASIC.LOG.BACKUP", kBackup);
    startWindow();
    MessageBox::setNextAnswer(MessageBox::Yes);
    trigger("mnuRestoreFromBackup");
    QCOMPARE(counts(), kBackupCounts);
    const QStringList files = QDir(m_dir->path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files, (QStringList{"BASIC.LOG.BACKUP", "basic.log"}));
    QCOMPARE(m_dir->read("basic.log"), kBackup);
    // The next start reads what the restore wrote.
    m_window.reset();
    startWindow();
    QCOMPARE(counts(), kBackupCounts);
}

void TestOptionsMenu::deleteBackups_data()
{
    QTest::addColumn<bool>("backupExists");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("outcomeTitle");
    QTest::addColumn<bool>("backupAfter");

    QTest::newRow("yes, with a backup")
        << true << int(MessageBox::Yes) << "Backup file(s) have been DELETED."
        << "Operation Status" << false;
    QTest::newRow("yes, without a backup")
        << false << int(MessageBox::Yes) << "There are no backup files to delete."
        << "Zoredev" << false;
    QTest::newRow("no") << true << int(MessageBox::No) << QString() << QString() << true;
}

void TestOptionsMenu::deleteBackups()
{
    QFETCH(bool, backupExists);
    QFETCH(int, answer);
    QFETCH(QString, outcome);
    QFETCH(QString, outcomeTitle);
    QFETCH(bool, backupAfter);

    m_dir->write("Basic.LOG", kLog);
    if (backupExists)
        m_dir->write("Basic.LOG.Backup", kBackup);
    startWindow();
    MessageBox::setNextAnswer(MessageBox::Answer(answer));
    if (!outcome.isEmpty())
        MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuDeleteBackups");

    QStringList expected{
        box("Please Verify Requested Action", MessageBox::YesNo, kDeleteBackupsQuestion)};
    if (!outcome.isEmpty())
        expected << box(outcomeTitle, MessageBox::OkOnly, outcome);
    QCOMPARE(boxes(), expected);
    QCOMPARE(QFile::exists(m_dir->filePath("Basic.LOG.Backup")), backupAfter);
    QCOMPARE(m_dir->read("Basic.LOG"), kLog);
    QCOMPARE(counts(), kLogCounts);
}

void TestOptionsMenu::deleteLogs_data()
{
    QTest::addColumn<bool>("logExists");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("outcomeTitle");
    QTest::addColumn<int>("outcomeStyle");
    QTest::addColumn<QStringList>("countsAfter");

    QTest::newRow("yes, with a log")
        << true << int(MessageBox::Yes) << "Log file(s) have been DELETED."
        << "Status of Operation" << 48 << QStringList(6, "0");
    QTest::newRow("yes, without a log")
        << false << int(MessageBox::Yes) << "There are no LOG files to delete."
        << "Zoredev" << 0 << kLogCounts;
    QTest::newRow("no") << true << int(MessageBox::No) << QString() << QString() << 0 << kLogCounts;
}

void TestOptionsMenu::deleteLogs()
{
    QFETCH(bool, logExists);
    QFETCH(int, answer);
    QFETCH(QString, outcome);
    QFETCH(QString, outcomeTitle);
    QFETCH(int, outcomeStyle);
    QFETCH(QStringList, countsAfter);

    m_dir->write("Basic.LOG", kLog);
    m_dir->write("Basic.LOG.Backup", kBackup);
    startWindow();
    if (!logExists)
        QVERIFY(QFile::remove(m_dir->filePath("Basic.LOG")));
    MessageBox::setNextAnswer(MessageBox::Answer(answer));
    if (!outcome.isEmpty())
        MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuDeleteLogs");

    QStringList expected{box("Confirm Requested Action", 276, kDeleteLogsQuestion)};
    if (!outcome.isEmpty())
        expected << box(outcomeTitle, outcomeStyle, outcome);
    QCOMPARE(boxes(), expected);
    QCOMPARE(counts(), countsAfter);
    QCOMPARE(QFile::exists(m_dir->filePath("Basic.LOG")), logExists && answer != MessageBox::Yes);
    QCOMPARE(m_dir->read("Basic.LOG.Backup"), kBackup);
    if (countsAfter == QStringList(6, "0")) {
        QCOMPARE(m_window->findChild<QLabel*>("lblTotalCoins")->text(), "0");
        QCOMPARE(m_window->findChild<QLabel*>("lblTotalFaceValue_0")->text(), "$0.00");
        QCOMPARE(m_window->findChild<QLabel*>("lblPercentPennies")->text(), "0.00%");
    }
}

void TestOptionsMenu::deleteLogsThenExitSeedsTheNextStart()
{
    m_dir->write("Basic.LOG", kLog);
    startWindow();
    MessageBox::setNextAnswer(MessageBox::Yes);
    MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuDeleteLogs");
    trigger("mnuExit");
    QVERIFY(!QFile::exists(m_dir->filePath("Basic.LOG")));
    m_window.reset();
    startWindow();
    QCOMPARE(m_dir->read("Basic.LOG"), QByteArray(" 0 \r\n").repeated(6));
    QCOMPARE(counts(), QStringList(6, "0"));
}

void TestOptionsMenu::deletionThatFailsSaysWhy()
{
    m_dir->write("Basic.LOG", kLog);
    startWindow();
    // A directory cannot be deleted as a file, whoever runs the test.
    QVERIFY(QDir(m_dir->path()).mkdir("Basic.LOG.Backup"));
    QVERIFY(QFile::exists(m_dir->filePath("Basic.LOG.Backup/keep")) ||
            QFile(m_dir->filePath("Basic.LOG.Backup/keep")).open(QIODevice::WriteOnly));
    MessageBox::setNextAnswer(MessageBox::Yes);
    MessageBox::setNextAnswer(MessageBox::Ok);
    trigger("mnuDeleteBackups");
    QCOMPARE(MessageBox::history().size(), 2);
    const QString text = MessageBox::history().last().text;
    QVERIFY2(text.startsWith("Cannot delete Basic.LOG.Backup: "), qPrintable(text));
    QVERIFY(QFileInfo(m_dir->filePath("Basic.LOG.Backup")).isDir());
}

void TestOptionsMenu::deleteLogsQuestionDefaultsToNo()
{
    m_dir->write("Basic.LOG", kLog);
    startWindow();
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool seen = false;
    // The real box: inspect it once it is up, then press Enter as a user would.
    std::function<void()> inspect = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, inspect);
            return;
        }
        seen = true;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            buttons << box->standardButton(button);
        defaultButton = box->standardButton(box->defaultButton());
        QTest::keyClick(box, Qt::Key_Return);
    };
    MessageBox::setRealBoxesAllowed(true);
    QTimer::singleShot(0, inspect);
    trigger("mnuDeleteLogs");

    QVERIFY(seen);
    QCOMPARE(title, "Confirm Requested Action");
    QCOMPARE(text, kDeleteLogsQuestion);
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons.size(), 2);
    QVERIFY(buttons.contains(QMessageBox::Yes) && buttons.contains(QMessageBox::No));
    QCOMPARE(defaultButton, QMessageBox::No);
    // Enter took the default: nothing was deleted and nothing else was said.
    QCOMPARE(MessageBox::history().size(), 1);
    QCOMPARE(m_dir->read("Basic.LOG"), kLog);
    QCOMPARE(counts(), kLogCounts);
}

QTEST_MAIN(TestOptionsMenu)
#include "tst_OptionsMenu.moc"
