#include "support/Prerequisite.h"
#include "support/TestFiles.h"
#include "ui/WindowTest.h"

#include "ui/AboutDialog.h"
#include "ui/DenominationControls.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {
const QByteArray kLog = "4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n";
// A frame as counts, face values, shares, coin total and total face value.
const QString kZero = "0 0 0 0 0 0 $0.00 $0.00 $0.00 $0.00 $0.00 $0.00 0.00% 0.00% 0.00% 0.00% "
                      "0.00% 0.00% 0 $0.00";
// A box whose text is the program's fixed literal is named by how it starts, "..."
// standing for the rest; where the text says what the user did or what the system
// said, all of it is compared.
const QString kUnavailable = "Zoredev|Ok|0|System Information Is Unavailable At This Time";
const QString kNotWritten = "Zoredev|Ok|2|Cannot write Basic.LOG: " + kIsFolder +
                            "\n\nYour logged finds are still shown...";
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    int m_endings = 0; // how often a window ended the program

    void start(const QByteArray& log = kLog)
    {
        putFile(m_dir->filePath("Basic.LOG"), log);
        m_window = std::make_unique<MainWindow>(m_dir->path());
        connect(m_window.get(), &MainWindow::programEnding, this, [this] { ++m_endings; });
        m_window->start();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    template <typename T = QLabel> T* find(const QString& name) const
    {
        if (T* widget = m_window->findChild<T*>(name))
            return widget;
        qFatal("no control %s", qPrintable(name));
    }
    QString caption(const QString& name) const { return find(name)->text(); }
    QLineEdit* box(int row) const { return find<QLineEdit>(kRowControls[row].entryBox); }
    // Types each "row=text" into the entry box of that row, dollar coins being row 0.
    void type(const QString& entries)
    {
        for (const QString& entry : entries.split(' ')) {
            QLineEdit* entryBox = box(entry.section('=', 0, 0).toInt());
            entryBox->setFocus();
            entryBox->selectAll();
            QTest::keyClicks(entryBox, entry.section('=', 1));
        }
    }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    // Element 0: Logged Finds; element 1: Latest Finds.
    QString frame(int element) const
    {
        QStringList shown;
        for (int i = 0; i < 6; ++i)
            shown << (element ? box(i)->text()
                              : caption(QString(kRowControls[i].countLabel) + "_0"));
        for (const DenominationControls& row : kRowControls)
            shown << caption(row.faceValueLabel + QStringLiteral("_%1").arg(element));
        for (const DenominationControls& row : kRowControls)
            shown << caption(element ? row.latestShareLabel : row.loggedShareLabel);
        return (shown << caption(element ? "lblTotalCoinsFound" : "lblTotalCoins")
                      << caption(QStringLiteral("lblTotalFaceValue_%1").arg(element)))
            .join(' ');
    }
    // The six counts of the Logged Finds and their total.
    QString loggedCounts() const
    {
        const QStringList logged = frame(0).split(' ');
        return QStringList(logged.mid(0, 6) << logged[18]).join(' ');
    }

private slots:
    void init()
    {
        MessageBox::interceptForTests(true);
        QTest::failOnWarning(QRegularExpression("^QObject::connect")); // a handler left unwired
        m_dir = std::make_unique<QTemporaryDir>();
        m_endings = 0;
    }
    void cleanup()
    {
        m_window.reset();
        endWindowTest();
    }

    // The Latest Finds follow each box; an emptied box shows 0, selected, so that the
    // next digit replaces it, and typing stops at the box's length. Log Finds shows each
    // entry as it is logged, then clears the boxes, as Clear Entry Boxes does; a box
    // without a count logs nothing and says which box it is.
    void logAndClear()
    {
        start("0\r\n0\r\n3\r\n0\r\n0\r\n10\r\n");
        type("0=1 1=2 2=3 3=4 4=5 5=6");
        QCOMPARE(frame(1), "1 2 3 4 5 6 $1.00 $1.00 $0.75 $0.40 $0.25 $0.06 4.76% 9.52% 14.29% "
                           "19.05% 23.81% 28.57% 21 $3.46");
        box(5)->selectAll();
        QTest::keyClick(box(5), Qt::Key_Delete);
        QCOMPARE(box(5)->text(), "0");
        QTest::keyClicks(box(5), "4567");
        QCOMPARE(caption("lblPctPennies"), "96.82%"); // 456 of 471
        type("0=+5 1=0 2=0 3=0 4=0 5=-.5");
        QSignalSpy first(box(0), &QLineEdit::textChanged), last(box(5), &QLineEdit::textChanged);
        click("cmdAdd");
        QCOMPARE(first + last, (QList<QVariantList>{{"5"}, {"0"}, {"-1"}, {"0"}}));
        QCOMPARE(frame(0) + ' ' + frame(1),
                 "5 0 3 0 0 9 $5.00 $0.00 $0.75 $0.00 $0.00 $0.09 29.41% "
                 "0.00% 17.65% 0.00% 0.00% 52.94% 17 $5.84 " +
                     kZero);
        type("1=9 2=x1");
        click("cmdAdd");
        QCOMPARE(takeShownBoxes(), QStringList{"Zoredev|Ok|2|Nothing was logged: the Quarters "
                                               "box holds \"x1\", which is not a number of "
                                               "coins.  Please correct it and log your finds "
                                               "again."});
        QCOMPARE(loggedCounts(), "5 0 3 0 0 9 17");
        QCOMPARE(QApplication::focusWidget()->property("selectedText"), "x1"); // the box to mend
        click("cmdClear");
        QCOMPARE(frame(1), kZero);
    }

    // The window as it starts with a log (one line too many), centred. Its colours are its own: on
    // a dark desktop its texts and faces are those of the reference.
    void layoutColoursAndNames()
    {
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(230, 230, 230), QColor(30, 30, 30)));
        start(kLog + "9\r\n");
        QApplication::setPalette(desktop);
        compareWithReference(controls(m_window.get()), "MainWindow.controls");
        const QPoint offCentre =
            m_window->frameGeometry().center() - m_window->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 4); // give or take a frame
        QCOMPARE(m_window->grab().toImage().pixelColor(
                     find("lblDimes_0")->mapTo(m_window.get(), QPoint(0, 2))),
                 QColor(Qt::black)); // a figure's border
        ZOREDEV_REQUIRE(QFontDatabase::families().contains("Liberation Sans"),
                        "the layout is drawn for Liberation Sans (fonts-liberation)");
        // Every word shown: on the label's one line, or in the lines it is high.
        for (const QLabel* label : m_window->findChildren<QLabel*>())
            QVERIFY2(label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                       : label->fontMetrics().horizontalAdvance(label->text()) <=
                                             label->contentsRect().width(),
                     qPrintable(label->objectName()));
    }

    // The start, the Options menu's boxes that say what happened or ask, Save & Exit and
    // the close control: the files before, the steps taken (an entry typed, a control's
    // name, or "disk:" and the pennies another window saved meanwhile, "(none)" for a
    // deleted log or "(directory)" for one that cannot be written), the answers given,
    // the boxes shown, and the counts and window after. What becomes of the files is
    // store::LoggedFinds' to prove.
    void userSteps_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QByteArray>("backup");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("counts"); // and the coin total
        QTest::addColumn<QString>("window"); // open, closed, or ended with the program
        const auto row = [](const char* name, const QStringList& steps, const QByteArray& log,
                            const QByteArray& backup, const QList<int>& answers,
                            const QStringList& boxes, const QString& counts,
                            const char* window = "open") {
            QTest::newRow(name) << steps << log << backup << answers << boxes << counts
                                << QString(window);
        };
        // A bad item is quoted readably (a control character as ?) and briefly (40 at most).
        const QByteArray x(50, 'x'), y(40, 'y'), damagedLog = "o k\x01\r\n7\r\n" + x + "\n" + y;
        row("damaged log", {"close"}, damagedLog, kNone, {},
            {"Zoredev|Ok|2|The file Basic.LOG is damaged:\n\nLine 1 (Dollar Coins) holds \"o k?\", "
             "which is not a number.\nLine 3 (Quarters) holds \"" +
             x.left(40) + "...\", which is not a number.\nLine 4 (Dimes) holds \"" + y +
             "\", which is not a number.\nLine 5 (Nickels) is missing.\nLine 6 (Pennies) is "
             "missing.\n\nThese counts are taken as 0..."},
            "0 7 0 0 0 0 7", "closed");
        row("unreadable log", {"close"}, kDirectory, kNone, {},
            {"Zoredev|Ok|2|Cannot read the log file Basic.LOG: " + kIsFolder +
             "\n\nThe Logged Finds start at zero.  The file has not been changed."},
            "0 0 0 0 0 0 0", "closed");
        // This window read 10 pennies and logs 3 dimes; keeping both writes 15 pennies,
        // none once the other has deleted the log.
        const auto coins = [](int dimes, int pennies) {
            return QString("Dollar Coins 0, Half Dollar Coins 0, Quarters 0, Dimes %1, Nickels 0, "
                           "Pennies %2")
                .arg(dimes)
                .arg(pennies);
        };
        const auto changed = [&coins](const QString& inFile, int kept) {
            return "Log File Changed|&Keep Both/&Overwrite/Cancel|2|Basic.LOG has been changed by "
                   "another window or program since this window last read or wrote it.\n\nIn "
                   "the file now: " +
                   inFile + "\nShown here: " + coins(3, 10) +
                   "\n\nKeep Both keeps the finds of both and writes: " + coins(3, kept) + "...";
        };
        const QByteArray ten = "0\r\n0\r\n0\r\n0\r\n0\r\n10\r\n";
        const QString kept = changed(coins(0, 15), 15);
        row("changed meanwhile, cancel, overwrite",
            {"3=3", "cmdAdd", "disk:15", "cmdExit", "cmdExit"}, ten, kNone,
            {QMessageBox::Cancel, QMessageBox::No}, {kept, kept}, "0 0 0 3 0 10 13", "ended");
        row("deleted meanwhile, Enter", {"3=3", "cmdAdd", "disk:(none)", "mnuBackUpNow"}, ten,
            kNone, {},
            {changed("none, the file has been deleted", 0), "Zoredev|Ok|0|Log files have..."},
            "0 0 0 3 0 0 3");
        const int yes = QMessageBox::Yes;
        const QByteArray lf = "4\n1\n22\n37\n19\n250\n", backup = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n";
        const QString question = "Status|Yes/No|0|Restore complete.  Would you like to...";
        const char* restore = "mnuRestoreFromBackup";
        row("restore, no", {restore}, lf, backup, {QMessageBox::No}, {question}, "1 2 3 4 5 6 21");
        row("restore, yes, log unwritable", {"disk:(directory)", restore}, lf, "1\n2\n3\n4\n5\nz",
            {yes},
            {"Zoredev|Ok|2|The file Basic.LOG.Backup is damaged:\n\nLine 6 (Pennies) holds \"z\", "
             "which is not a number...",
             question, "Zoredev|Ok|2|Cannot write Basic.LOG: " + kIsFolder + "\n\nThe restored..."},
            "1 2 3 4 5 0 15");
        row("delete backups, yes", {"mnuDeleteBackups"}, lf, backup, {yes},
            {"Please Verify Requested Action|Yes/No|0|You have indicated that you wish to ERASE...",
             "Operation Status|Ok|0|Backup file(s) have been DELETED."},
            "4 1 22 37 19 250 333");
        // Closing asks only about finds logged since the log was last read or written.
        const QString asked = "Unsaved Finds|Save/Discard/Cancel|2|The finds logged since "
                              "Basic.LOG was last written have not been saved.\n\nSave writes "
                              "them to Basic.LOG, as Save & Exit does...";
        const QString more = "4 1 22 37 19 253 336";
        row("close, cancel, Enter saves", {"5=3", "cmdAdd", "close", "close"}, lf, kNone,
            {QMessageBox::Cancel}, {asked, asked}, more, "closed");
        row("close, save fails", {"5=3", "cmdAdd", "disk:(directory)", "close"}, lf, kNone, {},
            {asked, kNotWritten}, more);
    }
    void userSteps()
    {
        QFETCH(QByteArray, log);
        QFETCH(QList<int>, answers);
        QFETCH(QByteArray, backup);
        putFile(m_dir->filePath("Basic.LOG.Backup"), backup);
        start(log);
        for (const int answer : answers)
            MessageBox::setNextAnswer(MessageBox::Button(answer));
        QFETCH(QStringList, steps);
        for (const QString& step : steps) {
            const QString pennies = step.section(':', 1); // or "(none)", or "(directory)"
            if (step.contains('='))
                type(step);
            else if (step == "close")
                m_window->close();
            else if (step.startsWith("disk:"))
                putFile(m_dir->filePath("Basic.LOG"),
                        pennies.startsWith('(')
                            ? pennies.toLatin1()
                            : "0\r\n0\r\n0\r\n0\r\n0\r\n" + pennies.toLatin1() + "\r\n");
            else
                step.startsWith("cmd") ? click(qPrintable(step)) : find<QAction>(step)->trigger();
        }
        QStringList shown = takeShownBoxes();
        QFETCH(QStringList, boxes);
        for (int i = 0; i < std::min(shown.size(), boxes.size()); ++i)
            if (boxes[i].endsWith("..."))
                shown[i] = shown[i].left(boxes[i].size() - 3) + "...";
        QCOMPARE(shown, boxes);
        QFETCH(QString, window);
        QCOMPARE(m_endings, window == "ended" ? 1 : 0);
        QCOMPARE(m_window->isVisible(), window == "open");
        QTEST(loggedCounts(), "counts");
    }

    // Opened twice, loaded once; closed by Esc or Enter, loaded again on the next
    // opening.
    void aboutBox()
    {
        start();
        find<QAction>("mnuAbout")->trigger();
        AboutDialog* about = AboutDialog::showSingle(); // the same box, brought forward
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QCOMPARE(std::ranges::count_if(
                     QApplication::topLevelWidgets(),
                     [](QWidget* w) { return qobject_cast<AboutDialog*>(w) != nullptr; }),
                 1);
        compareWithReference(controls(about), "AboutDialog.controls");
        QVERIFY(about->testAttribute(Qt::WA_QuitOnClose)); // it outlives the main window
        QString order;
        for (int i = 0; i < 5; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            order += QApplication::focusWidget()->objectName() + ' ';
        QCOMPARE(order, "cmdOK picIcon cmdSysInfo txtDescription cmdOK ");
        const auto* warning = about->findChild<QLabel*>("lblDisclaimer"); // all lines shown
        QVERIFY(warning->wordWrap() && warning->heightForWidth(258) <= warning->height());
        about->findChild<QWidget*>("picIcon")->setFocus(); // Enter presses OK from anywhere
        const QPointer<AboutDialog> closed = about;
        QTest::keyClick(about, Qt::Key_Return);
        QTRY_VERIFY(!closed); // closing it unloads it, so the next opening loads it anew
        const QPointer<AboutDialog> again = AboutDialog::showSingle();
        QTest::keyClick(again, Qt::Key_Escape);
        QTRY_VERIFY(!again);
    }

#ifndef Q_OS_WIN
    // System Info starts the best of the desktop's tools found on PATH, or says that
    // there is none. The tools here are scripts that leave a mark where they lie.
    void startSysInfo()
    {
        QTemporaryDir dir;
        const auto restore = qScopeGuard([path = qgetenv("PATH")] { qputenv("PATH", path); });
        qputenv("PATH", dir.path().toLocal8Bit());
        AboutDialog about;
        about.findChild<QPushButton*>("cmdSysInfo")->click();
        QCOMPARE(takeShownBoxes(), QStringList{kUnavailable});
        for (const char* tool : {"hardinfo", "kinfocenter"}) {
            writeFile(dir.filePath(tool), "#!/bin/sh\n/usr/bin/touch \"$0.ran\"\n");
            QFile::setPermissions(dir.filePath(tool), QFile::ExeOwner | QFile::ReadOwner);
        }
        about.findChild<QPushButton*>("cmdSysInfo")->click();
        QTRY_COMPARE(QDir(dir.path()).entryList({"*.ran"}), QStringList{"kinfocenter.ran"});
    }
#endif
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
