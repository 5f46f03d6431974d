#include "FullDisk.h"
#include "support/TempWorkDir.h"
#include "ui/MainWindow.h"
#include "ui/WindowTest.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {
const QByteArray kStartLog("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
const QByteArray kSavedLog("1\r\n2\r\n3\r\n4\r\n5\r\n1000\r\n");
} // namespace

Q_DECLARE_METATYPE(FullDisk::Found)

// Whatever stops Save & Exit, the user is told why, the program keeps running
// with the logged finds on screen and the file on disk stays as it was.
class TestMainWindowFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveIntoFullDisk_data();
    void saveIntoFullDisk();
    void saveOverDirectory_data();
    void saveOverDirectory();

private:
    template <typename T> T* find(const char* name) const
    {
        T* widget = m_window->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    // Starts on kStartLog and logs 994 pennies, so that a save has news to write.
    void startAndLogFinds();
    void clickSaveAndExit() { QTest::mouseClick(find<QPushButton>("cmdExit"), Qt::LeftButton); }
    void verifyToldAndStillRunning(const QString& fileName, const QString& reason);

    std::unique_ptr<TempWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QSignalSpy> m_ending;
};

void TestMainWindowFaults::init()
{
    beginWindowTest();
    m_dir = std::make_unique<TempWorkDir>();
}

void TestMainWindowFaults::cleanup()
{
    m_ending.reset();
    m_window.reset();
    endWindowTest();
    m_dir.reset();
}

void TestMainWindowFaults::startAndLogFinds()
{
    m_dir->write("Basic.LOG", kStartLog);
    m_window = std::make_unique<MainWindow>();
    m_window->start();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(MessageBox::history().isEmpty());
    m_ending = std::make_unique<QSignalSpy>(m_window.get(), &MainWindow::programEnding);

    QLineEdit* pennies = find<QLineEdit>("txtPennies");
    pennies->setFocus();
    pennies->selectAll();
    QTest::keyClicks(pennies, "994");
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    QCOMPARE(find<QLabel>("lblPennies_0")->text(), "1000");
}

void TestMainWindowFaults::verifyToldAndStillRunning(const QString& fileName, const QString& reason)
{
    QCOMPARE(m_ending->count(), 0);
    QVERIFY(m_window->isVisible());
    QCOMPARE(MessageBox::history().size(), 1);
    const QString text = MessageBox::history().first().text;
    const QString told = QStringLiteral("Cannot write %1: %2").arg(fileName, reason);
    QVERIFY2(text.startsWith(told), qPrintable(text));
    QVERIFY2(!text.mid(text.indexOf(": ") + 2).startsWith('\n'), "no reason was given");
    qInfo("%s", qPrintable(text.section('\n', 0, 0)));
    QCOMPARE(find<QLabel>("lblPennies_0")->text(), "1000");
}

void TestMainWindowFaults::saveIntoFullDisk_data()
{
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<FullDisk::Found>("found");

    QTest::newRow("no byte free") << qint64(0) << FullDisk::Found::AtWrite;
    QTest::newRow("some bytes free") << qint64(12) << FullDisk::Found::AtWrite;
    QTest::newRow("found only at the sync") << qint64(1 << 20) << FullDisk::Found::AtSync;
}

void TestMainWindowFaults::saveIntoFullDisk()
{
    QFETCH(qint64, freeBytes);
    QFETCH(FullDisk::Found, found);

    startAndLogFinds();
    MessageBox::setNextAnswer(MessageBox::Ok);
    {
        FullDisk full(m_dir->path(), freeBytes, found);
        clickSaveAndExit();
        QVERIFY(full.refusals() > 0);
    }
    verifyToldAndStillRunning("Basic.LOG", QString::fromLocal8Bit(std::strerror(ENOSPC)));
    QCOMPARE(m_dir->read("Basic.LOG"), kStartLog);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Basic.LOG"});

    // With room on the disk again the same button saves and ends the program.
    clickSaveAndExit();
    QCOMPARE(m_ending->count(), 1);
    QCOMPARE(m_dir->read("Basic.LOG"), kSavedLog);
}

void TestMainWindowFaults::saveOverDirectory_data()
{
    QTest::addColumn<QString>("directoryName");

    QTest::newRow("the log's name") << "Basic.LOG";
    QTest::newRow("spelled otherwise") << "basic.log";
}

void TestMainWindowFaults::saveOverDirectory()
{
    QFETCH(QString, directoryName);

    // Something else put a directory where the log was while the program ran.
    startAndLogFinds();
    QDir dir(m_dir->path());
    QVERIFY(dir.remove("Basic.LOG"));
    QVERIFY(dir.mkdir(directoryName));
    m_dir->write(directoryName + "/keep", "kept");

    MessageBox::setNextAnswer(MessageBox::Ok);
    clickSaveAndExit();
    verifyToldAndStillRunning(directoryName, QString());
    QVERIFY(QFileInfo(m_dir->filePath(directoryName)).isDir());
    QCOMPARE(m_dir->read(directoryName + "/keep"), QByteArray("kept"));

    // Once it is gone the same button saves the finds.
    QVERIFY(QDir(m_dir->filePath(directoryName)).removeRecursively());
    clickSaveAndExit();
    QCOMPARE(m_ending->count(), 1);
    QCOMPARE(m_dir->read("Basic.LOG"), kSavedLog);
}

QTEST_MAIN(TestMainWindowFaults)
#include "tst_MainWindowFaults.moc"
