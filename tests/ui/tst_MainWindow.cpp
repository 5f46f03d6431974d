#include "support/TestFiles.h"
#include "ui/WindowTest.h"

#include "ui/CaptionLabel.h"
#include "ui/MainWindow.h"
#include "ui/TabControl.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>

namespace {
const QByteArray kNone = "(none)"; // an absent file, as readFile() gives it
const QByteArray kLog = "4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n";
const QByteArray kLogLf = "4\n1\n22\n37\n19\n250\n";
const QByteArray kBackup = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n";
const char* const kRows[] = {"DollarCoins", "HalfDollarCoins", "Quarters",
                             "Dimes",       "Nickels",         "Pennies"};
const char* const kFaces[] = {"FaceValueDollars", "HalfDollarFaceValue", "QuartersFaceValue",
                              "DimesFaceValue",   "NickelsFaceValue",    "PenniesFaceValue"};
const char* const kShares[] = {"Dollars", "HalfDollars", "Quarters", "Dimes", "Nickels", "Pennies"};
// A frame as counts, face values, shares, coin total and total face value.
const QString kZero = "0 0 0 0 0 0 $0.00 $0.00 $0.00 $0.00 $0.00 $0.00 0.00% 0.00% 0.00% 0.00% "
                      "0.00% 0.00% 0 $0.00";
const QString kExample = "4 1 22 37 19 250 $4.00 $0.50 $5.50 $3.70 $0.95 $2.50 1.20% 0.30% 6.61% "
                         "11.11% 5.71% 75.08% 333 $17.15";
const QString kIndent = "     ";
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startUp_data();
    void startUp();
    void previewFollowsEachBox();
    void logAndClear();
    void logFindsRefusesABoxWithoutACount();
    void saveAndExitWritesTheLoggedCounts();
    void failedSaveKeepsTheProgramAndTheCounts();
    void leavingWithoutSavingWritesNothing();
    void keyboardReachesEveryButton();
    void tabsShowOnePageAtATime();
    void layoutColoursAndNames();
    void darkDesktopPaletteStaysReadable();
    void menuEntry_data();
    void menuEntry();
    void failedBackUpSaysWhichFileAndWritesTheOther();

private:
    void start(const QByteArray& log = kLog);
    template <typename T = QLabel> T* find(const QString& name) const
    {
        T* widget = m_window->findChild<T*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    QString caption(const QString& name) const { return find(name)->text(); }
    QLineEdit* box(int row) const { return find<QLineEdit>(QStringLiteral("txt") + kRows[row]); }
    void type(int row, const QString& text);
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    QString frame(int element) const;
    QByteArray file(const QString& name = "Basic.LOG") const
    {
        return readFile(m_dir->filePath(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::init()
{
    beginWindowTest();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    endWindowTest();
}

void TestMainWindow::start(const QByteArray& log)
{
    if (!log.isNull())
        writeFile(m_dir->filePath("Basic.LOG"), log);
    m_window = std::make_unique<MainWindow>(m_dir->path());
    m_window->start();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::type(int row, const QString& text)
{
    box(row)->setFocus();
    box(row)->selectAll();
    QTest::keyClicks(box(row), text);
}

// Element 0: Logged Finds; element 1: Latest Finds.
QString TestMainWindow::frame(int element) const
{
    QStringList captions;
    for (int i = 0; i < 6; ++i)
        captions << (element ? box(i)->text() : caption(QStringLiteral("lbl%1_0").arg(kRows[i])));
    for (int i = 0; i < 6; ++i)
        captions << caption(QStringLiteral("lbl%1_%2").arg(kFaces[i]).arg(element));
    for (int i = 0; i < 6; ++i)
        captions << caption((element ? "lblPct" : "lblPercent") + QString(kShares[i]));
    captions << caption(element ? "lblTotalCoinsFound" : "lblTotalCoins");
    return captions.join(' ') + ' ' + caption(QStringLiteral("lblTotalFaceValue_%1").arg(element));
}

void TestMainWindow::startUp_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("first start seeds the log")
        << QByteArray() << kZero << QStringList() << QByteArray(" 0 \r\n").repeated(6);
    QTest::newRow("the log's counts") << kLog + "9\r\n"
                                      << kExample << QStringList() << kLog + "9\r\n";
    QTest::newRow("damaged log")
        << QByteArray("seven\r\n7\r\n3\r\n")
        << "0 7 3 0 0 0 $0.00 $3.50 $0.75 $0.00 $0.00 $0.00 0.00% 70.00% 30.00% 0.00% 0.00% "
           "0.00% 10 $4.25"
        << QStringList{"Zoredev|Ok|2|The file Basic.LOG is damaged:\n\nLine 1 (Dollar Coins) "
                       "holds \"seven\", which is not a number.\nLine 4 (Dimes) is missing.\n"
                       "Line 5 (Nickels) is missing.\nLine 6 (Pennies) is missing.\n\nThese "
                       "counts are taken as 0.  The file is not changed until you save."}
        << QByteArray("seven\r\n7\r\n3\r\n");
    QTest::newRow("unreadable log")
        << kNone << kZero
        << QStringList{"Zoredev|Ok|2|Cannot read the log file Basic.LOG: file to open is a "
                       "directory\n\nThe Logged Finds start at zero.  The file has not been changed."}
        << kNone;
}

void TestMainWindow::startUp()
{
    QFETCH(QByteArray, log);
    if (log == kNone) // a log that cannot be read: the window starts at zero and leaves it alone
        QVERIFY(QDir(m_dir->path()).mkpath("Basic.LOG/in"));
    start(log == kNone ? QByteArray() : log);
    QTEST(frame(0), "logged");
    QCOMPARE(frame(1), kZero);
    QTEST(takeShownBoxes(), "boxes");
    QTEST(file(), "after");
    QCOMPARE(m_window->windowTitle(), QCoreApplication::applicationName() + " 3.0.3");
    QCOMPARE(find<TabControl>("SSTab1")->currentIndex(), 0);
}

void TestMainWindow::previewFollowsEachBox()
{
    start();
    for (int i = 0; i < 6; ++i)
        type(i, QString::number(i + 1));
    QCOMPARE(frame(1), "1 2 3 4 5 6 $1.00 $1.00 $0.75 $0.40 $0.25 $0.06 4.76% 9.52% 14.29% "
                       "19.05% 23.81% 28.57% 21 $3.46");
    type(5, "1e9");
    QCOMPARE(caption("lblTotalCoinsFound"), "1000000015");
    QCOMPARE(caption("lblTotalFaceValue_1"), "$10000003.40");
    for (const QString text : {"ab", "-", " ", "."}) { // no count: taken as 0
        type(5, text);
        QCOMPARE(caption("lblTotalCoinsFound"), "15");
    }
    box(5)->selectAll();
    QTest::keyClick(box(5), Qt::Key_Delete);
    QCOMPARE(box(5)->text(), "0");
    QTest::keyClicks(box(5), "4"); // the reset 0 is selected: the digit replaces it
    QCOMPARE(caption("lblPctPennies"), "21.05%");
    // Typing stops at the box's length; the program's writes do not.
    QSignalSpy changes(box(5), &QLineEdit::textChanged);
    QTest::keyClicks(box(5), "5678");
    QCOMPARE(box(5)->text(), "456");
    QCOMPARE(changes.count(), 2);
    box(4)->setText("1000");
    QCOMPARE(box(4)->text(), "1000");
    QCOMPARE(frame(0), kExample);
    QCOMPARE(file(), kLog);
}

void TestMainWindow::logAndClear()
{
    start("0\r\n0\r\n3\r\n0\r\n0\r\n10\r\n");
    type(0, "+5");
    type(2, "-5");
    type(3, "2");
    type(5, "1e3");
    click("cmdAdd");
    const QString logged = "5 0 -2 2 0 1010 $5.00 $0.00 $0.50 $0.20 $0.00 $10.10 0.49% 0.00% "
                           "0.20% 0.20% 0.00% 99.12% 1019 $15.80";
    QCOMPARE(frame(0), logged);
    QCOMPARE(frame(1), kZero);
    click("cmdAdd");
    type(1, "9");
    type(4, "99");
    click("cmdClear");
    QCOMPARE(frame(1), kZero);
    QCOMPARE(frame(0), logged);
    QCOMPARE(file(), "0\r\n0\r\n3\r\n0\r\n0\r\n10\r\n");
}

void TestMainWindow::logFindsRefusesABoxWithoutACount()
{
    start();
    type(0, "1");
    type(2, "x1");
    click("cmdAdd");
    QCOMPARE(takeShownBoxes(),
             QStringList{"Zoredev|Ok|2|Nothing was logged: the Quarters box holds \"x1\", which is "
                         "not a number of coins.  Please correct it and log your finds again."});
    QCOMPARE(frame(0), kExample);
    QCOMPARE(box(0)->text(), "1");
    QCOMPARE(QApplication::focusWidget(), box(2));
}

void TestMainWindow::saveAndExitWritesTheLoggedCounts()
{
    writeFile(m_dir->filePath("basic.log"), " 12 \n0\n2.5\n1e3\n-3\n40000\n");
    start(QByteArray());
    type(5, "40");
    click("cmdAdd");
    type(0, "5"); // typed, never logged: not saved
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    click("cmdExit");
    QCOMPARE(ending.count(), 1);
    QVERIFY(!m_window->isVisible());
    // The log found in another letter case is the one rewritten.
    QCOMPARE(file("basic.log"), "12\r\n0\r\n2.5\r\n1000\r\n-3\r\n40040\r\n");
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"basic.log"});
}

void TestMainWindow::failedSaveKeepsTheProgramAndTheCounts()
{
    start();
    type(5, "5");
    click("cmdAdd");
    QVERIFY(QFile::remove(m_dir->filePath("Basic.LOG")));
    QVERIFY(QDir(m_dir->path()).mkpath("Basic.LOG/in"));
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    click("cmdExit");
    const QStringList boxes = takeShownBoxes();
    QVERIFY2(boxes.size() == 1 && boxes[0].startsWith("Zoredev|Ok|2|Cannot write Basic.LOG: ") &&
                 boxes[0].endsWith("nothing was lost.  The file on disk was not changed."),
             qPrintable(boxes.join('\n')));
    QVERIFY(ending.isEmpty() && m_window->isVisible());
    QVERIFY(QDir(m_dir->filePath("Basic.LOG")).removeRecursively());
    click("cmdExit");
    QCOMPARE(ending.count(), 1);
    QCOMPARE(file(), "4\r\n1\r\n22\r\n37\r\n19\r\n255\r\n");
}

void TestMainWindow::leavingWithoutSavingWritesNothing()
{
    start();
    click("cmdAdd");
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    find<QAction>("mnuExit")->trigger();
    QVERIFY(ending.count() == 1 && !m_window->isVisible());
    start();
    type(5, "5");
    click("cmdAdd");
    QVERIFY(m_window->close());
    QCOMPARE(file(), kLog);
}

void TestMainWindow::keyboardReachesEveryButton()
{
    start("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(QApplication::focusWidget(), box(0));
    QStringList visited;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited.join(' '), "txtHalfDollarCoins txtQuarters txtDimes txtNickels txtPennies "
                                "cmdAdd cmdClear cmdExit "); // then the tab strip, unnamed
    QCOMPARE(QApplication::focusWidget(), find<TabControl>("SSTab1")->tabBar());
    type(5, "7");
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(box(5), key);
    QCOMPARE(caption("lblPennies_0"), "0");
    // An access key presses its button visibly, so the click lands a moment later.
    QTest::keyClick(box(5), Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(caption("lblPennies_0"), "7");
    type(5, "3");
    QTest::keyClick(box(5), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(box(5)->text(), "0");
    QSignalSpy ending(m_window.get(), &MainWindow::programEnding);
    find<TabControl>("SSTab1")->setCurrentIndex(2); // where the buttons are hidden
    QTest::keyClick(m_window.get(), Qt::Key_X, Qt::AltModifier);
    QTRY_COMPARE(ending.count(), 1);
    QCOMPARE(file(), "0\r\n0\r\n0\r\n0\r\n0\r\n7\r\n");
}

void TestMainWindow::tabsShowOnePageAtATime()
{
    start();
    auto* tabs = find<TabControl>("SSTab1");
    QTabBar* strip = tabs->tabBar();
    QCOMPARE(strip->geometry(), QRect(0, 0, tabs->width(), strip->sizeHint().height()));
    for (int tab : {1, 2}) {
        // The strip stays above the pages, so a click on a tab reaches it.
        QCOMPARE(tabs->childAt(strip->tabRect(tab).center()), strip);
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(tab).center());
        QLabel* placeholder = find(QStringLiteral("Label2_%1").arg(tab - 1));
        QVERIFY(placeholder->isVisible() &&
                !find("Label2_" + QString::number(2 - tab))->isVisible());
        QVERIFY(!find<QGroupBox>("Frame1")->isVisible() && !find<QGroupBox>("Frame2")->isVisible());
        // Every word shows in the two lines the label is high.
        QVERIFY(placeholder->wordWrap() &&
                placeholder->heightForWidth(placeholder->width()) <= placeholder->height());
        QCOMPARE(placeholder->text(), "What would you like to see here?  Send me suggestions at "
                                      "hunt@example.com.");
    }
    tabs->setCurrentIndex(0);
    QVERIFY(find<QGroupBox>("Frame1")->isVisible() && find<QGroupBox>("Frame2")->isVisible());
    // Either element of a face-value label brings both totals up to date.
    find<CaptionLabel>("lblPenniesFaceValue_0")->setText("$1.25");
    find<CaptionLabel>("lblDimesFaceValue_1")->setText("$2.50");
    QCOMPARE(caption("lblTotalFaceValue_0") + caption("lblTotalFaceValue_1"), "$15.90$2.50");
}

void TestMainWindow::layoutColoursAndNames()
{
    start();
    QCOMPARE(m_window->centralWidget()->size(), QSize(626, 308));
    const QList<QPair<const char*, QRect>> places{
        {"SSTab1", {8, 0, 609, 305}},     {"Frame1", {8, 24, 289, 273}},
        {"Frame2", {304, 24, 297, 273}},  {"txtPennies", {96, 168, 49, 19}},
        {"cmdClear", {96, 232, 105, 25}}, {"label_3", {16, 120, 73, 17}},
        {"label_16", {98, 32, 45, 13}},   {"Label3", {218, 32, 61, 13}},
        {"label_18", {56, 200, 32, 13}},  {"lblTotalFaceValue_0", {152, 200, 57, 17}},
        {"Label2_1", {32, 120, 457, 57}}};
    for (const auto& [name, place] : places)
        QCOMPARE(find<QWidget>(name)->geometry(), place);
    // What is drawn, not what the palettes say: each face and the window around them.
    const QImage picture = m_window->grab().toImage();
    const QList<QPair<const char*, QColor>> faces{
        {"lblDimes_0", {192, 255, 192}},          {"lblTotalCoinsFound", {192, 255, 192}},
        {"lblDimesFaceValue_1", {192, 192, 255}}, {"lblTotalFaceValue_1", {255, 192, 255}},
        {"lblPctDimes", {255, 192, 192}},         {"label_3", {192, 192, 192}},
        {"clientArea", {192, 192, 255}}};
    for (const auto& [name, colour] : faces) {
        const QWidget* widget = find<QWidget>(name);
        QCOMPARE(picture.pixelColor(widget->mapTo(m_window.get(), QPoint(2, 2))), colour);
    }
    QCOMPARE(find("Label2_0")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(find("Label2_0")->font().pointSize(), 18);
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QStringList menus;
    for (QAction* menu : m_window->menuBar()->actions()) {
        menus << menu->text();
        for (QAction* entry : menu->menu()->actions())
            menus << entry->objectName() + "=" + entry->text();
    }
    QCOMPARE(menus.join(';'),
             "&File;mnuExit=E&xit Without Saving;&Options;mnuBackUpNow=Back Up "
             "Log Files Now;mnuRestoreFromBackup=Restore Log Files From Backup;"
             "mnuSep100=;mnuDeleteBackups=Delete Backup Files;mnuDeleteLogs="
             "Delete Log Files;&Help;mnuQuickHelp=QuickHelp;mnuRegistration="
             "Registration;mnuAbout=About Zoredev;mnuBugs=Bugs/Comments/Suggestions");
    QStringList buttons;
    for (QPushButton* button : m_window->findChildren<QPushButton*>())
        buttons << button->text();
    QCOMPARE(buttons.join(';'), "&Log  Finds;&Clear Entry Boxes;Save && E&xit");
    int captions = 0;
    for (QLabel* label : m_window->findChildren<QLabel*>()) {
        if (label->objectName().startsWith("label_") || label->objectName() == "Label3") {
            ++captions;
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <=
                         label->contentsRect().width(),
                     qPrintable(label->text()));
        }
    }
    QCOMPARE(captions, 20);
    QCOMPARE(box(1)->accessibleName(), "Latest Finds, Half Dollar Coins, Quantity");
    QCOMPARE(find("lblTotalCoins")->accessibleDescription(), "Logged Finds, Totals, Quantity");
}

void TestMainWindow::darkDesktopPaletteStaysReadable()
{
    const QPalette desktop = QApplication::palette();
    QPalette dark(QColor(40, 40, 40), QColor(30, 30, 30));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    start();
    const auto luminance = [](const QColor& c) {
        return 0.2126 * std::pow(c.redF(), 2.2) + 0.7152 * std::pow(c.greenF(), 2.2) +
               0.0722 * std::pow(c.blueF(), 2.2);
    };
    int checked = 0;
    for (QWidget* widget : m_window->findChildren<QWidget*>()) {
        auto roles = std::pair(QPalette::WindowText, QPalette::Window);
        if (qobject_cast<QLineEdit*>(widget))
            roles = {QPalette::Text, QPalette::Base};
        else if (qobject_cast<QPushButton*>(widget))
            roles = {QPalette::ButtonText, QPalette::Button};
        else if (qobject_cast<QTabBar*>(widget))
            roles = {QPalette::WindowText, QPalette::Button};
        else if (!qobject_cast<QLabel*>(widget) && !qobject_cast<QGroupBox*>(widget))
            continue;
        const double text = luminance(widget->palette().color(roles.first));
        const double face = luminance(widget->palette().color(roles.second));
        // The contrast ratio the accessibility guidelines ask of large text.
        QVERIFY2((std::max(text, face) + 0.05) / (std::min(text, face) + 0.05) >= 3,
                 qPrintable(widget->objectName()));
        ++checked;
    }
    QApplication::setPalette(desktop);
    QCOMPARE(checked, 68);
}

void TestMainWindow::menuEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("log");    // at start; kNone: deleted before the entry is chosen
    QTest::addColumn<QByteArray>("backup"); // kNone: absent
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QByteArray>("logAfter");
    QTest::addColumn<QByteArray>("backupAfter");
    QTest::addColumn<QString>("counts");
    const auto row = [](const char* name, const char* entry, const QByteArray& log,
                        const QByteArray& backup, const QList<int>& answers,
                        const QStringList& boxes, const QByteArray& logAfter,
                        const QByteArray& backupAfter, const QString& counts) {
        QTest::newRow(name) << entry << log << backup << answers << boxes << logAfter
                            << backupAfter << counts;
    };
    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    const QByteArray lf = kLogLf, damaged = "1\nx\n3\n4\n5\n6\n";
    const QString shown = "4|1|22|37|19|250", restored = "1|2|3|4|5|6";
    const QString question = "Status|YesNo|0|Restore complete.  Would you like to replace the "
                             "current .LOG file(s) with the backup .LOG files at this time?";
    const QString eraseBackups = "Please Verify Requested Action|YesNo|0|You have indicated that "
                                 "you wish to ERASE ALL BACKUP FILES.  Are you sure this is what "
                                 "you wish to do?";
    const QString eraseLogs = "Confirm Requested Action|YesNo,No|3|You have indicated that you "
                              "wish to ERASE YOUR PRIMARY LOG FILE(S).  Are you SURE this is what "
                              "you want to do?";
    const QStringList backedUp{"Zoredev|Ok|0|Log files have been backed up."};
    const QStringList noBackup{"Zoredev|Ok|0|There are no backup files to restore."};

    row("back up", "mnuBackUpNow", lf, kBackup, {}, backedUp, kLog, kLog, shown);
    row("back up without a log", "mnuBackUpNow", kNone, kNone, {}, backedUp, kLog, kLog, shown);
    row("restore, no backup", "mnuRestoreFromBackup", lf, kNone, {}, noBackup, lf, kNone, shown);
    row("restore, three lines", "mnuRestoreFromBackup", lf, "1\n2\n3\n", {}, noBackup, lf,
        "1\n2\n3\n", shown);
    row("restore, no", "mnuRestoreFromBackup", lf, kBackup, {no}, {question}, lf, kBackup,
        restored);
    row("restore, yes", "mnuRestoreFromBackup", lf, " 1\n2\n3\n4\n5\n6", {yes}, {question},
        kBackup, kBackup, restored);
    row("restore, yes, no log", "mnuRestoreFromBackup", kNone, kBackup, {yes}, {question}, kBackup,
        kBackup, restored);
    row("restore, damaged", "mnuRestoreFromBackup", lf, damaged, {yes, no},
        {"Zoredev|Ok|2|The file Basic.LOG.Backup is damaged:\n\nLine 2 (Half Dollar Coins) holds "
         "\"x\", which is not a number.\n\nThese counts are taken as 0.  The file is not changed "
         "until you save.",
         question},
        lf, damaged, "1|0|3|4|5|6");
    row("delete backups, no", "mnuDeleteBackups", lf, kBackup, {no}, {eraseBackups}, lf, kBackup,
        shown);
    row("delete backups, yes", "mnuDeleteBackups", lf, kBackup, {yes},
        {eraseBackups, "Operation Status|Ok|0|Backup file(s) have been DELETED."}, lf, kNone,
        shown);
    row("delete backups, none there", "mnuDeleteBackups", lf, kNone, {yes},
        {eraseBackups, "Zoredev|Ok|0|There are no backup files to delete."}, lf, kNone, shown);
    row("delete logs, Enter", "mnuDeleteLogs", lf, kBackup, {}, {eraseLogs}, lf, kBackup, shown);
    row("delete logs, yes", "mnuDeleteLogs", lf, kBackup, {yes},
        {eraseLogs, "Status of Operation|Ok|2|Log file(s) have been DELETED."}, kNone, kBackup,
        "0|0|0|0|0|0");
    row("delete logs, none there", "mnuDeleteLogs", kNone, kBackup, {yes},
        {eraseLogs, "Zoredev|Ok|0|There are no LOG files to delete."}, kNone, kBackup, shown);
    // The help boxes' lines are joined by CR LF, and a box is all they do.
    row("quick help", "mnuQuickHelp", lf, kNone, {},
        {"Zoredev|Ok|0|Error: You asked for help when none is needed."}, lf, kNone, shown);
    row("registration", "mnuRegistration", lf, kNone, {},
        {"Zoredev|Ok|0|" + QStringList{kIndent, "", kIndent + "Zoredev 3.0 Registration",
                                       kIndent + "123 Example Lane", kIndent + "Anytown, ZZ",
                                       kIndent + "00000", "",
                                       "Thanks for your interest in Zoredev.  Happy hunting!"}
                               .join("\r\n")},
        lf, kNone, shown);
    row("bugs", "mnuBugs", lf, kNone, {},
        {"Zoredev|Ok|0|" +
         QStringList{kIndent + "If you think you have found a bug and would like to report it, "
                               "have a comment, constructive criticism or suggestion about "
                               "Zoredev, please contact me via one of the following methods:",
                     "", kIndent + "E-Mail: hunt@example.com", kIndent + "ICQ: 000000000", "",
                     kIndent + "Your input is greatly appreciated.  Please help me decide what "
                               "to add to Zoredev in the next release.  Thanks,",
                     "", kIndent + "The Zoredev Team"}
             .join("\r\n")},
        lf, kNone, shown);
}

void TestMainWindow::menuEntry()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, log);
    QFETCH(QByteArray, backup);
    QFETCH(QList<int>, answers);
    writeFile(m_dir->filePath("Basic.LOG"), log == kNone ? kLogLf : log);
    if (backup != kNone)
        writeFile(m_dir->filePath("Basic.LOG.Backup"), backup);
    start(QByteArray());
    if (log == kNone)
        QVERIFY(QFile::remove(m_dir->filePath("Basic.LOG")));
    for (const int answer : answers)
        MessageBox::setNextAnswer(MessageBox::Button(answer));
    find<QAction>(entry)->trigger();

    QTEST(takeShownBoxes(), "boxes");
    QTEST(file(), "logAfter");
    QTEST(file("Basic.LOG.Backup"), "backupAfter");
    QStringList counts;
    int total = 0;
    for (CaptionLabel* label : m_window->ui().countLabels) {
        counts << label->text();
        total += label->text().toInt();
    }
    QTEST(counts.join('|'), "counts");
    QCOMPARE(caption("lblTotalCoins"), QString::number(total));
    for (const QString& name : QDir(m_dir->path()).entryList(QDir::Files))
        QVERIFY2(name == "Basic.LOG" || name == "Basic.LOG.Backup", qPrintable(name));
}

void TestMainWindow::failedBackUpSaysWhichFileAndWritesTheOther()
{
    QVERIFY(QDir(m_dir->path()).mkpath("Basic.LOG.Backup/in"));
    start(QByteArray());
    find<QAction>("mnuBackUpNow")->trigger();
    const QStringList boxes = takeShownBoxes();
    QVERIFY2(boxes.size() == 1 && boxes[0].startsWith("Zoredev|Ok|2|Cannot write "
                                                      "Basic.LOG.Backup: ") &&
                 boxes[0].endsWith("The back-up is not complete.  Your logged finds are still "
                                   "shown and nothing on disk was lost."),
             qPrintable(boxes.join('\n')));
    QCOMPARE(file(), QByteArray("0\r\n").repeated(6));
    find<QAction>("mnuDeleteBackups")->trigger();
    QVERIFY(takeShownBoxes().value(1).startsWith("Zoredev|Ok|2|Cannot delete Basic.LOG.Backup: "));
}

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
