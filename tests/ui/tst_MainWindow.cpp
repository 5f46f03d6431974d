#include "WindowTest.h"
#include "support/TempWorkDir.h"
#include "ui/CaptionLabel.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/TabControl.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include <memory>
#include <signal.h>
#include <sys/resource.h>

namespace {
const QByteArray kExampleLog = "4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n";
const char* const kEntries[] = {"txtDollarCoins", "txtHalfDollarCoins", "txtQuarters",
                                "txtDimes",       "txtNickels",         "txtPennies"};
const char* const kCounts[] = {"lblDollarCoins_0", "lblHalfDollarCoins_0", "lblQuarters_0",
                               "lblDimes_0",       "lblNickels_0",         "lblPennies_0"};
const char* const kFaceValues[] = {"lblFaceValueDollars",  "lblHalfDollarFaceValue",
                                   "lblQuartersFaceValue", "lblDimesFaceValue",
                                   "lblNickelsFaceValue",  "lblPenniesFaceValue"};
const char* const kLatestShares[] = {"lblPctDollars", "lblPctHalfDollars", "lblPctQuarters",
                                     "lblPctDimes",   "lblPctNickels",     "lblPctPennies"};
const char* const kLoggedShares[] = {"lblPercentDollars",  "lblPercentHalfDollars",
                                     "lblPercentQuarters", "lblPercentDimes",
                                     "lblPercentNickels",  "lblPercentPennies"};

// Caps the size of any file this process writes, as a full disk would, in a way
// that holds for root too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartSeedsTheLog();
    void loadsTheLoggedCounts();
    void loadNormalisesItemsAndSavesThemBack();
    void damagedLogIsReportedOnceAndStartsAtZero();
    void unreadableLogIsReported();
    void previewFollowsTheEntryBoxes_data();
    void previewFollowsTheEntryBoxes();
    void emptiedBoxResetsToZero();
    void textWithoutACountCountsAsZero();
    void entryBoxesRefuseExtraCharacters();
    void logFindsAddsTheOuting();
    void logFindsWithNegativeEntrySubtracts();
    void logFindsRefusesABoxWithoutACount();
    void logFindsTwiceDoubles();
    void clearEntryBoxesLeavesLoggedFinds();
    void saveAndExitWritesTheSaveForm();
    void saveFailureKeepsTheProgramAndTheOldLog();
    void exitWithoutSavingWritesNothing();
    void closeControlWritesNothing();
    void accessKeysPressTheButtons();
    void enterAndEscapePressNoButton();
    void tabRunsDownTheBoxesThenTheButtons();
    void otherTabsHideTheFrames();
    void faceValueHandlerServesBothElements();
    void controlsCarryAccessibleNames();
    void layoutMatchesTheDrawing();
    void gridCaptionsFitTheirCellsInTheWindowsFace();

private:
    void startWindow();
    template <typename T> T* find(const QString& name) const
    {
        T* widget = m_window->findChild<T*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    QString caption(const QString& name) const { return find<QLabel>(name)->text(); }
    QLineEdit* box(int row) const { return find<QLineEdit>(kEntries[row]); }
    void type(int row, const QString& text);
    QStringList loggedCaptions() const;

    std::unique_ptr<TempWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::init()
{
    beginWindowTest();
    m_dir = std::make_unique<TempWorkDir>();
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    endWindowTest();
    m_dir.reset();
}

void TestMainWindow::startWindow()
{
    m_window = std::make_unique<MainWindow>();
    m_window->start();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::type(int row, const QString& text)
{
    QLineEdit* entry = box(row);
    entry->setFocus();
    entry->selectAll();
    QTest::keyClick(entry, Qt::Key_Backspace);
    QTest::keyClicks(entry, text);
}

QStringList TestMainWindow::loggedCaptions() const
{
    QStringList captions;
    for (const char* name : kCounts)
        captions << caption(name);
    return captions;
}

void TestMainWindow::firstStartSeedsTheLog()
{
    startWindow();
    QCOMPARE(m_dir->read("Basic.LOG"), QByteArray(" 0 \r\n").repeated(6));
    QCOMPARE(loggedCaptions(), QStringList(6, "0"));
    QCOMPARE(m_window->windowTitle(),
             QCoreApplication::applicationName().section('.', 0, 0) + " 3.0.3");
    QVERIFY(MessageBox::history().isEmpty());
    QCOMPARE(find<TabControl>("SSTab1")->currentIndex(), 0);
    QCOMPARE(caption("lblTotalCoinsFound"), "0");
    QCOMPARE(caption("lblTotalFaceValue_1"), "$0.00");
}

void TestMainWindow::loadsTheLoggedCounts()
{
    m_dir->write("Basic.LOG", kExampleLog + "999\r\nextra\r\n");
    startWindow();
    QCOMPARE(loggedCaptions(), (QStringList{"4", "1", "22", "37", "19", "250"}));
    QCOMPARE(caption("lblTotalCoins"), "333");
    QCOMPARE(caption("lblFaceValueDollars_0"), "$4.00");
    QCOMPARE(caption("lblHalfDollarFaceValue_0"), "$0.50");
    QCOMPARE(caption("lblQuartersFaceValue_0"), "$5.50");
    QCOMPARE(caption("lblDimesFaceValue_0"), "$3.70");
    QCOMPARE(caption("lblNickelsFaceValue_0"), "$0.95");
    QCOMPARE(caption("lblPenniesFaceValue_0"), "$2.50");
    QCOMPARE(caption("lblTotalFaceValue_0"), "$17.15");
    QCOMPARE(caption("lblPercentPennies"), "75.08%");
    QCOMPARE(caption("lblPercentDollars"), "1.20%");
    QCOMPARE(caption("lblTotalFaceValue_1"), "$0.00");
    QVERIFY(MessageBox::history().isEmpty());
}

void TestMainWindow::loadNormalisesItemsAndSavesThemBack()
{
    m_dir->write("basic.log", " 12 \n 0 \n2.5\n1e3\n-3\n40000\n");
    startWindow();
    QCOMPARE(loggedCaptions(), (QStringList{"12", "0", "2.5", "1000", "-3", "40000"}));
    QCOMPARE(caption("lblNickelsFaceValue_0"), "$0.15");
    QCOMPARE(caption("lblQuartersFaceValue_0"), "$0.50");
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    QTest::mouseClick(find<QPushButton>("cmdExit"), Qt::LeftButton);
    QCOMPARE(ending.count(), 1);
    // The log found in another letter case is the one rewritten; no second log appears.
    QCOMPARE(m_dir->read("basic.log"), QByteArray("12\r\n0\r\n2.5\r\n1000\r\n-3\r\n40000\r\n"));
    QVERIFY(!QFile::exists(m_dir->filePath("Basic.LOG")));
}

void TestMainWindow::damagedLogIsReportedOnceAndStartsAtZero()
{
    m_dir->write("Basic.LOG", "7\r\nseven\r\n3\r\n");
    MessageBox::setNextAnswer(MessageBox::Ok);
    startWindow();
    QCOMPARE(loggedCaptions(), (QStringList{"7", "0", "3", "0", "0", "0"}));
    QCOMPARE(MessageBox::history().size(), 1);
    const QString text = MessageBox::history().first().text;
    QVERIFY2(text.contains("Basic.LOG") && text.contains("\"seven\"") &&
                 text.contains("Half Dollar Coins") && text.contains("Pennies"),
             qPrintable(text));
    QCOMPARE(MessageBox::history().first().title, "Zoredev");
    // Nothing is written back until the user saves.
    QCOMPARE(m_dir->read("Basic.LOG"), QByteArray("7\r\nseven\r\n3\r\n"));
}

void TestMainWindow::unreadableLogIsReported()
{
    QVERIFY(QDir(m_dir->path()).mkdir("Basic.LOG"));
    MessageBox::setNextAnswer(MessageBox::Ok);
    startWindow();
    QCOMPARE(loggedCaptions(), QStringList(6, "0"));
    QCOMPARE(MessageBox::history().size(), 1);
    QVERIFY(MessageBox::history().first().text.startsWith("Cannot read the log file Basic.LOG: "));
    QVERIFY(QFileInfo(m_dir->filePath("Basic.LOG")).isDir());
}

void TestMainWindow::previewFollowsTheEntryBoxes_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("coinTotal");
    QTest::addColumn<QStringList>("faceValues");
    QTest::addColumn<QStringList>("shares");
    QTest::addColumn<QString>("totalFaceValue");

    const QString z = "$0.00";
    const QString p = "0.00%";
    QTest::newRow("all zero") << QStringList(6, "0") << "0" << QStringList(6, z)
                              << QStringList(6, p) << z;
    QTest::newRow("penny and two dimes") << QStringList{"0", "0", "0", "2", "0", "1"} << "3"
                                         << QStringList{z, z, z, "$0.20", z, "$0.01"}
                                         << QStringList{p, p, p, "66.67%", p, "33.33%"} << "$0.21";
    QTest::newRow("dollar coins only")
        << QStringList{"7", "0", "0", "0", "0", "0"} << "7" << QStringList{"$7.00", z, z, z, z, z}
        << QStringList{"100.00%", p, p, p, p, p} << "$7.00";
    QTest::newRow("negative and fractional")
        << QStringList{"0", "0", "0", "0", "0", "-5"} << "5" << QStringList{z, z, z, z, z, "$0.05"}
        << QStringList{p, p, p, p, p, "100.00%"} << "$0.05";
    QTest::newRow("fraction dropped")
        << QStringList{"0", "0", "0", "0", "0", "2.7"} << "2" << QStringList{z, z, z, z, z, "$0.02"}
        << QStringList{p, p, p, p, p, "100.00%"} << "$0.02";
    QTest::newRow("one coin of each")
        << QStringList(6, "1") << "6"
        << QStringList{"$1.00", "$0.50", "$0.25", "$0.10", "$0.05", "$0.01"}
        << QStringList(6, "16.67%") << "$1.91";
    QTest::newRow("exponent beyond the box width")
        << QStringList{"0", "0", "0", "0", "0", "1e9"} << "1000000000"
        << QStringList{z, z, z, z, z, "$10000000.00"} << QStringList{p, p, p, p, p, "100.00%"}
        << "$10000000.00";
    QTest::newRow("one coin out of 32") << QStringList{"0", "0", "0", "1", "31", "0"} << "32"
                                        << QStringList{z, z, z, "$0.10", "$1.55", z}
                                        << QStringList{p, p, p, "3.13%", "96.88%", p} << "$1.65";
}

void TestMainWindow::previewFollowsTheEntryBoxes()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, coinTotal);
    QFETCH(QStringList, faceValues);
    QFETCH(QStringList, shares);
    QFETCH(QString, totalFaceValue);

    m_dir->write("Basic.LOG", kExampleLog);
    startWindow();
    for (int i = 0; i < 6; ++i)
        type(i, entries[i]);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(box(i)->text(), entries[i]);
        QCOMPARE(caption(QStringLiteral("%1_1").arg(kFaceValues[i])), faceValues[i]);
        QCOMPARE(caption(kLatestShares[i]), shares[i]);
    }
    QCOMPARE(caption("lblTotalCoinsFound"), coinTotal);
    QCOMPARE(caption("lblTotalFaceValue_1"), totalFaceValue);
    // The preview never touches the logged side, whose total is only rewritten unchanged.
    QCOMPARE(loggedCaptions(), (QStringList{"4", "1", "22", "37", "19", "250"}));
    QCOMPARE(caption("lblTotalFaceValue_0"), "$17.15");
    QCOMPARE(m_dir->read("Basic.LOG"), kExampleLog);
}

void TestMainWindow::emptiedBoxResetsToZero()
{
    startWindow();
    type(5, "12");
    QCOMPARE(caption("lblTotalCoinsFound"), "12");
    QLineEdit* pennies = box(5);
    pennies->selectAll();
    QTest::keyClick(pennies, Qt::Key_Delete);
    QCOMPARE(pennies->text(), "0");
    QCOMPARE(caption("lblPenniesFaceValue_1"), "$0.00");
    QCOMPARE(caption("lblTotalCoinsFound"), "0");
    QCOMPARE(caption("lblPctPennies"), "0.00%");
    // The reset 0 is selected, so the next digit replaces it.
    QTest::keyClicks(pennies, "4");
    QCOMPARE(pennies->text(), "4");
}

void TestMainWindow::textWithoutACountCountsAsZero()
{
    startWindow();
    type(3, "2");
    for (const QString text : {"ab", "-", ".", "  ", "+", "e"}) {
        type(5, text);
        QCOMPARE(box(5)->text(), text);
        QCOMPARE(caption("lblPenniesFaceValue_1"), "$0.00");
        QCOMPARE(caption("lblTotalCoinsFound"), "2");
        QCOMPARE(caption("lblPctDimes"), "100.00%");
        QCOMPARE(caption("lblPctPennies"), "0.00%");
    }
}

void TestMainWindow::entryBoxesRefuseExtraCharacters()
{
    startWindow();
    type(5, "123");
    type(4, "45");
    QSignalSpy changes(box(5), &QLineEdit::textChanged);
    QTest::keyClicks(box(5), "4");
    QTest::keyClicks(box(4), "6");
    QCOMPARE(box(5)->text(), "123");
    QCOMPARE(box(4)->text(), "45");
    QCOMPARE(changes.count(), 0);
    QCOMPARE(caption("lblTotalCoinsFound"), "168");
}

void TestMainWindow::logFindsAddsTheOuting()
{
    m_dir->write("Basic.LOG", "0\r\n0\r\n0\r\n0\r\n0\r\n10\r\n");
    startWindow();
    type(5, "3");
    type(3, "2");
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    QCOMPARE(loggedCaptions(), (QStringList{"0", "0", "0", "2", "0", "13"}));
    QCOMPARE(caption("lblTotalCoins"), "15");
    QCOMPARE(caption("lblPercentPennies"), "86.67%");
    QCOMPARE(caption("lblPercentDimes"), "13.33%");
    QCOMPARE(caption("lblTotalFaceValue_0"), "$0.33");
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(box(i)->text(), "0");
        QCOMPARE(caption(kLatestShares[i]), "0.00%");
        QCOMPARE(caption(QStringLiteral("%1_1").arg(kFaceValues[i])), "$0.00");
    }
    QCOMPARE(caption("lblTotalCoinsFound"), "0");
    QCOMPARE(caption("lblTotalFaceValue_1"), "$0.00");
    // Logging alone never writes the file.
    QCOMPARE(m_dir->read("Basic.LOG"), QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n10\r\n"));
}

void TestMainWindow::logFindsWithNegativeEntrySubtracts()
{
    m_dir->write("Basic.LOG", "0\r\n0\r\n3\r\n0\r\n0\r\n0\r\n");
    startWindow();
    type(2, "-5");
    type(5, "2.7");
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    QCOMPARE(caption("lblQuarters_0"), "-2");
    QCOMPARE(caption("lblPennies_0"), "2");
    QCOMPARE(caption("lblQuartersFaceValue_0"), "$0.50");
    QCOMPARE(caption("lblTotalCoins"), "4");
    QCOMPARE(caption("lblPercentQuarters"), "50.00%");
}

void TestMainWindow::logFindsRefusesABoxWithoutACount()
{
    m_dir->write("Basic.LOG", kExampleLog);
    startWindow();
    type(0, "1");
    type(2, "x1");
    type(5, "5");
    MessageBox::setNextAnswer(MessageBox::Ok);
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    QCOMPARE(MessageBox::history().size(), 1);
    const QString text = MessageBox::history().first().text;
    QVERIFY2(text.contains("Quarters") && text.contains("\"x1\""), qPrintable(text));
    QCOMPARE(loggedCaptions(), (QStringList{"4", "1", "22", "37", "19", "250"}));
    QCOMPARE(box(0)->text(), "1");
    QCOMPARE(box(2)->text(), "x1");
    QCOMPARE(box(5)->text(), "5");
    QCOMPARE(QApplication::focusWidget(), box(2));
}

void TestMainWindow::logFindsTwiceDoubles()
{
    startWindow();
    for (int round = 0; round < 2; ++round) {
        type(1, "05");
        type(4, "+7");
        QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    }
    QCOMPARE(loggedCaptions(), (QStringList{"0", "10", "0", "0", "14", "0"}));
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    QCOMPARE(loggedCaptions(), (QStringList{"0", "10", "0", "0", "14", "0"}));
    QCOMPARE(caption("lblTotalFaceValue_0"), "$5.70");
}

void TestMainWindow::clearEntryBoxesLeavesLoggedFinds()
{
    m_dir->write("Basic.LOG", kExampleLog);
    startWindow();
    type(0, "9");
    type(5, "99");
    QTest::mouseClick(find<QPushButton>("cmdClear"), Qt::LeftButton);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(box(i)->text(), "0");
    QCOMPARE(caption("lblTotalCoinsFound"), "0");
    QCOMPARE(caption("lblTotalFaceValue_1"), "$0.00");
    QCOMPARE(loggedCaptions(), (QStringList{"4", "1", "22", "37", "19", "250"}));
    QCOMPARE(caption("lblTotalCoins"), "333");
}

void TestMainWindow::saveAndExitWritesTheSaveForm()
{
    m_dir->write("Basic.LOG", "2\r\n0\r\n15\r\n31\r\n12\r\n100\r\n");
    startWindow();
    type(5, "40");
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    type(0, "5"); // typed but never logged: not saved
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    QTest::mouseClick(find<QPushButton>("cmdExit"), Qt::LeftButton);
    QCOMPARE(ending.count(), 1);
    QCOMPARE(m_dir->read("Basic.LOG"), QByteArray("2\r\n0\r\n15\r\n31\r\n12\r\n140\r\n"));
    QVERIFY(!m_window->isVisible());
}

void TestMainWindow::saveFailureKeepsTheProgramAndTheOldLog()
{
    m_dir->write("Basic.LOG", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
    startWindow();
    type(5, "994");
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    MessageBox::setNextAnswer(MessageBox::Ok);
    {
        FileSizeLimit full(8);
        QTest::mouseClick(find<QPushButton>("cmdExit"), Qt::LeftButton);
    }
    QCOMPARE(ending.count(), 0);
    QVERIFY(m_window->isVisible());
    QCOMPARE(MessageBox::history().size(), 1);
    const QString text = MessageBox::history().first().text;
    QVERIFY2(text.startsWith("Cannot write Basic.LOG: ") && text.size() > 30, qPrintable(text));
    QCOMPARE(m_dir->read("Basic.LOG"), QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n"));
    QCOMPARE(caption("lblPennies_0"), "1000");
    // Once the disk has room again the same button saves.
    QTest::mouseClick(find<QPushButton>("cmdExit"), Qt::LeftButton);
    QCOMPARE(ending.count(), 1);
    QCOMPARE(m_dir->read("Basic.LOG"), QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n1000\r\n"));
}

void TestMainWindow::exitWithoutSavingWritesNothing()
{
    m_dir->write("Basic.LOG", kExampleLog);
    startWindow();
    type(5, "5");
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    find<QAction>("mnuExit")->trigger();
    QCOMPARE(ending.count(), 1);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_dir->read("Basic.LOG"), kExampleLog);
}

void TestMainWindow::closeControlWritesNothing()
{
    m_dir->write("Basic.LOG", kExampleLog);
    startWindow();
    type(5, "5");
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    QVERIFY(m_window->close());
    QCOMPARE(m_dir->read("Basic.LOG"), kExampleLog);
}

void TestMainWindow::accessKeysPressTheButtons()
{
    startWindow();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    // An access key presses its button visibly, so the click lands a moment later.
    type(5, "7");
    QTest::keyClick(box(5), Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(caption("lblPennies_0"), "7");
    type(5, "3");
    QTest::keyClick(box(5), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(box(5)->text(), "0");
    QCOMPARE(caption("lblPennies_0"), "7");
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    QTest::keyClick(box(0), Qt::Key_X, Qt::AltModifier);
    QVERIFY(ending.wait());
    QCOMPARE(m_dir->read("Basic.LOG"), QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n7\r\n"));
}

void TestMainWindow::enterAndEscapePressNoButton()
{
    startWindow();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    type(5, "7");
    for (QWidget* target : {static_cast<QWidget*>(box(5)), static_cast<QWidget*>(box(0))}) {
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
        QTest::keyClick(target, Qt::Key_Escape);
    }
    QCOMPARE(caption("lblPennies_0"), "0");
    QCOMPARE(box(5)->text(), "7");
    QCOMPARE(ending.count(), 0);
}

void TestMainWindow::tabRunsDownTheBoxesThenTheButtons()
{
    startWindow();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    box(0)->setFocus();
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"txtHalfDollarCoins", "txtQuarters", "txtDimes", "txtNickels",
                                   "txtPennies", "cmdAdd", "cmdClear", "cmdExit"}));
}

void TestMainWindow::otherTabsHideTheFrames()
{
    startWindow();
    type(5, "5");
    auto* tabs = find<TabControl>("SSTab1");
    QCOMPARE(tabs->tabBar()->tabText(1), "Advanced Coinshooting");
    QCOMPARE(tabs->tabBar()->tabText(2), "Miscellaneous");
    for (int tab : {1, 2}) {
        tabs->setCurrentIndex(tab);
        QVERIFY(!find<QGroupBox>("Frame1")->isVisible());
        QVERIFY(!find<QGroupBox>("Frame2")->isVisible());
        QVERIFY(find<QLabel>(QStringLiteral("Label2_%1").arg(tab - 1))->isVisible());
        QVERIFY(!find<QLabel>(QStringLiteral("Label2_%1").arg(2 - tab))->isVisible());
    }
    tabs->setCurrentIndex(0);
    QVERIFY(find<QGroupBox>("Frame1")->isVisible());
    QVERIFY(find<QGroupBox>("Frame2")->isVisible());
    QCOMPARE(caption("lblPenniesFaceValue_1"), "$0.05");
    QVERIFY(find<QLabel>("Label2_0")
                ->text()
                .startsWith("What would you like to see here?  Send me suggestions at "));
}

void TestMainWindow::faceValueHandlerServesBothElements()
{
    startWindow();
    auto* logged = find<CaptionLabel>("lblPenniesFaceValue_0");
    auto* latest = find<CaptionLabel>("lblPenniesFaceValue_1");
    QCOMPARE(logged->element(), 0);
    QCOMPARE(latest->element(), 1);
    logged->setText("$1.25");
    QCOMPARE(caption("lblTotalFaceValue_0"), "$1.25");
    latest->setText("$2.50");
    QCOMPARE(caption("lblTotalFaceValue_1"), "$2.50");
    QCOMPARE(caption("lblTotalFaceValue_0"), "$1.25");
}

void TestMainWindow::controlsCarryAccessibleNames()
{
    startWindow();
    QCOMPARE(box(5)->accessibleName(), "Latest Finds, Pennies, Quantity");
    QCOMPARE(box(1)->accessibleName(), "Latest Finds, Half Dollar Coins, Quantity");
    QCOMPARE(find<QLabel>("lblTotalFaceValue_0")->accessibleDescription(),
             "Logged Finds, Totals, Face Value");
    QCOMPARE(find<QLabel>("lblPctDimes")->accessibleDescription(),
             "Latest Finds, Dimes, Percentages");
    QCOMPARE(find<QLabel>("lblTotalCoins")->accessibleDescription(),
             "Logged Finds, Totals, Quantity");
    // A figure is read out as its caption, not hidden behind a fixed name.
    type(5, "3");
    QAccessibleInterface* face =
        QAccessible::queryAccessibleInterface(find<QLabel>("lblPenniesFaceValue_1"));
    QVERIFY(face);
    QCOMPARE(face->text(QAccessible::Name), "$0.03");
}

void TestMainWindow::layoutMatchesTheDrawing()
{
    startWindow();
    QCOMPARE(m_window->centralWidget()->size(), QSize(626, 308));
    QCOMPARE(find<QWidget>("SSTab1")->geometry(), QRect(8, 0, 609, 305));
    QCOMPARE(find<QWidget>("Frame1")->geometry(), QRect(8, 24, 289, 273));
    QCOMPARE(find<QWidget>("Frame2")->geometry(), QRect(304, 24, 297, 273));
    QCOMPARE(find<QWidget>("txtPennies")->geometry(), QRect(96, 168, 49, 19));
    QCOMPARE(find<QWidget>("cmdClear")->geometry(), QRect(96, 232, 105, 25));
    QCOMPARE(find<QPushButton>("cmdAdd")->text(), "&Log  Finds");
    QCOMPARE(find<QPushButton>("cmdExit")->text(), "Save && E&xit");
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(find<QLineEdit>("txtPennies")->maxLength(), 3);
    QCOMPARE(find<QLineEdit>("txtDollarCoins")->maxLength(), 2);
    QCOMPARE(find<QLabel>("label_16")->text(), "Quantity");
    QCOMPARE(find<QLabel>("label_11")->text(), "Half Dollar Coins:");
    QCOMPARE(find<QLabel>("Label3")->text(), "Percentages");
    QVERIFY(!m_window->findChild<QLabel*>("label_9"));
    QStringList menus;
    for (QAction* action : m_window->menuBar()->actions())
        menus << action->text();
    QCOMPARE(menus, (QStringList{"&File", "&Options", "&Help"}));
    QStringList options;
    for (QAction* action : find<QMenu>("mnuOptions")->actions())
        options << (action->isSeparator() ? action->objectName()
                                          : action->objectName() + "=" + action->text());
    QCOMPARE(options, (QStringList{"mnuBackUpNow=Back Up Log Files Now",
                                   "mnuRestoreFromBackup=Restore Log Files From Backup",
                                   "mnuSep100", "mnuDeleteBackups=Delete Backup Files",
                                   "mnuDeleteLogs=Delete Log Files"}));
}

void TestMainWindow::gridCaptionsFitTheirCellsInTheWindowsFace()
{
    startWindow();
    const QString face = QFontInfo(m_window->font()).family();
    int captions = 0;
    for (const char* frame : {"Frame1", "Frame2"}) {
        for (QLabel* label : find<QWidget>(frame)->findChildren<QLabel*>()) {
            const QString name = label->objectName();
            if (!name.startsWith("label_") && name != "Label3")
                continue;
            ++captions;
            // One face for the whole window: a second one costs the first paint a
            // font of its own and its glyphs.
            QCOMPARE(QFontInfo(label->font()).family(), face);
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(needed <= label->contentsRect().width(),
                     qPrintable(QStringLiteral("%1 \"%2\" needs %3 px of %4")
                                    .arg(name, label->text())
                                    .arg(needed)
                                    .arg(label->contentsRect().width())));
        }
    }
    QCOMPARE(captions, 20);
}

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
