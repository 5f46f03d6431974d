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
const QByteArray kLog = "4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n";
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
        << QByteArray("7\r\nseven\r\n3\r\n")
        << "7 0 3 0 0 0 $7.00 $0.00 $0.75 $0.00 $0.00 $0.00 70.00% 0.00% 30.00% 0.00% 0.00% "
           "0.00% 10 $7.75"
        << QStringList{"Zoredev|Ok|2|The file Basic.LOG is damaged:\n\nLine 2 (Half Dollar Coins) "
                       "holds \"seven\", which is not a number.\nLine 4 (Dimes) is missing.\n"
                       "Line 5 (Nickels) is missing.\nLine 6 (Pennies) is missing.\n\nThese "
                       "counts are taken as 0.  The file is not changed until you save."}
        << QByteArray("7\r\nseven\r\n3\r\n");
}

void TestMainWindow::startUp()
{
    QFETCH(QByteArray, log);
    start(log);
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
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited.join(' '), "txtHalfDollarCoins txtQuarters txtDimes txtNickels txtPennies "
                                "cmdAdd cmdClear cmdExit");
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
    QTest::keyClick(box(0), Qt::Key_X, Qt::AltModifier);
    QVERIFY(ending.wait());
    QCOMPARE(file(), "0\r\n0\r\n0\r\n0\r\n0\r\n7\r\n");
}

void TestMainWindow::tabsShowOnePageAtATime()
{
    start();
    auto* tabs = find<TabControl>("SSTab1");
    QCOMPARE(tabs->tabBar()->tabText(2), "Miscellaneous");
    for (int tab : {1, 2}) {
        tabs->setCurrentIndex(tab);
        QLabel* placeholder = find(QStringLiteral("Label2_%1").arg(tab - 1));
        QVERIFY(placeholder->isVisible() &&
                !find("Label2_" + QString::number(2 - tab))->isVisible());
        QVERIFY(!find<QGroupBox>("Frame1")->isVisible() && !find<QGroupBox>("Frame2")->isVisible());
        // Every word shows in the two lines the label is high.
        QVERIFY(placeholder->heightForWidth(placeholder->width()) <= placeholder->height());
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
    const QList<QPair<const char*, QColor>> colours{
        {"lblDimes_0", {192, 255, 192}},          {"lblTotalCoinsFound", {192, 255, 192}},
        {"lblDimesFaceValue_1", {192, 192, 255}}, {"lblTotalFaceValue_1", {255, 192, 255}},
        {"lblPctDimes", {255, 192, 192}},         {"label_18", {192, 192, 192}}};
    for (const auto& [name, colour] : colours)
        QCOMPARE(find(name)->palette().color(QPalette::Window), colour);
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

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
