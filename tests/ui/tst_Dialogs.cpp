#include "ui/WindowTest.h"

#include "support/TestFiles.h"
#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"
#include "ui/SystemRegistry.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init() { MessageBox::interceptForTests(true); }
    void cleanup() { endWindowTest(); }

    // The boxes as the user meets them, answered by key: Esc says No to a question,
    // Enter takes the default button. Plain text keeps the double blank.
    void messageBoxes()
    {
        MessageBox::interceptForTests(false);
        QStringList seen;
        const auto answer = [&seen](Qt::Key key) {
            QTimer::singleShot(0, qApp, [&seen, key] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY2(box, "no message box to answer");
                seen << box->windowTitle() + '|' + box->text() + '|' +
                            QString::number(box->icon()) + QString::number(box->textFormat()) +
                            '|' + box->defaultButton()->text();
                QTest::keyClick(box, key);
            });
        };
        answer(Qt::Key_Escape);
        QCOMPARE(MessageBox::ask(nullptr, "Sure?  Yes.", "Asked"), QMessageBox::No);
        answer(Qt::Key_Return);
        QCOMPARE(MessageBox::ask(nullptr, "Sure?", "", QMessageBox::Critical, QMessageBox::No),
                 QMessageBox::No);
        answer(Qt::Key_Return); // a button named for what it does
        QCOMPARE(MessageBox::ask(nullptr, "Both?", "", QMessageBox::Warning, QMessageBox::Save,
                                 QMessageBox::Save | QMessageBox::Cancel,
                                 {{QMessageBox::Save, "&Keep Both"}}),
                 QMessageBox::Save);
        QCOMPARE(seen, (QStringList{"Asked|Sure?  Yes.|00|&Yes", "Zoredev|Sure?|30|&No",
                                    "Zoredev|Both?|20|&Keep Both"}));
    }

    // Opened twice, loaded once; closed by Esc or Enter, loaded again on the next
    // opening. This desktop's registry names the first information tool installed,
    // which System Info starts; with none installed it says so.
    void aboutBox()
    {
        QTemporaryDir dir;
        const auto restore = qScopeGuard([path = qgetenv("PATH")] { qputenv("PATH", path); });
        qputenv("PATH", dir.path().toLocal8Bit());
        AboutDialog().StartSysInfo();
        QCOMPARE(takeShownBoxes(),
                 QStringList{"Zoredev|Ok|0|System Information Is Unavailable At This Time"});
        writeFile(dir.filePath("hardinfo"), "#!/bin/sh\n/usr/bin/touch \"$0.ran\"\n");
        QFile::setPermissions(dir.filePath("hardinfo"), QFile::ExeOwner | QFile::ReadOwner);
        MainWindow window(dir.path());
        window.findChild<QAction*>("mnuAbout")->trigger();
        AboutDialog* about = AboutDialog::showSingle(); // the same box, brought forward
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QCOMPARE(std::ranges::count_if(
                     QApplication::topLevelWidgets(),
                     [](QWidget* w) { return qobject_cast<AboutDialog*>(w) != nullptr; }),
                 1);
        QVERIFY(!about->isModal());
        QVERIFY(!about->parent());
        compareWithReference(controls(about), "AboutDialog.controls");
        if (QTest::currentTestFailed())
            return;
        QVERIFY(about->testAttribute(Qt::WA_QuitOnClose)); // it outlives the main window
        QCOMPARE(about->minimumSize(), about->maximumSize()); // the size above, fixed
        AboutDialog().close(); // another box closing leaves this one the box to bring forward
        QCOMPARE(AboutDialog::showSingle(), about);
        const auto* disclaimer = about->findChild<QLabel*>("lblDisclaimer"); // every word shown
        QCOMPARE_LE(disclaimer->heightForWidth(disclaimer->width()), disclaimer->height());
        QVERIFY(disclaimer->wordWrap());
        QVERIFY(about->findChild<QPlainTextEdit*>("txtDescription")->isReadOnly());
        QString order;
        for (int i = 0; i < 5; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            order += QApplication::focusWidget()->objectName() + ' ';
        QCOMPARE(order, "cmdOK picIcon cmdSysInfo txtDescription cmdOK ");
        about->findChild<QWidget*>("picIcon")->setFocus(); // Enter presses OK from anywhere
        QVERIFY(about->findChild<QPushButton*>("cmdOK")->isDefault());
        QTest::mouseClick(about->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
#ifdef Q_OS_WIN
        // Windows' own registry, which names no tool here (tst_WindowsRegistry adds one).
        QCOMPARE(takeShownBoxes(),
                 QStringList{"Zoredev|Ok|0|System Information Is Unavailable At This Time"});
#else
        QTRY_VERIFY(QFile::exists(dir.filePath("hardinfo.ran")));
#endif
        // Any key but Enter and Esc is the focused control's.
        QTest::keyClick(about, Qt::Key_A);
        QVERIFY(about->isVisible());
        const QPointer<AboutDialog> closed = about;
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(!closed); // closing it unloads it, so the next opening loads it anew
        const QPointer<AboutDialog> again = AboutDialog::showSingle();
        QTest::keyClick(again, Qt::Key_Return);
        QTRY_VERIFY(!again);
        // A number is written in hexadecimal, most significant byte first; key paths and
        // value names match in any letter case; a key that is not there (nor under
        // another root) leaves no value.
        SystemRegistry numbers({{"A\\B|Path", {4, QByteArray("\x05\xAB\x12\x00", 4)}}});
        QString value;
        QVERIFY(AboutDialog(&numbers).GetKeyValue(Registry::LocalMachine, "a\\b", "PATH", value));
        QCOMPARE(value, "&h12AB05");
        QVERIFY(!AboutDialog(&numbers).GetKeyValue(Registry::LocalMachine, "A\\B", "Other", value));
        QCOMPARE(value, QString());
        value = "left over";
        QVERIFY(!AboutDialog(&numbers).GetKeyValue(Registry::LocalMachine, "A", "Path", value));
        QVERIFY(
            !AboutDialog(&numbers).GetKeyValue(Registry::LocalMachine + 1, "A\\B", "Path", value));
        QCOMPARE(value, QString());
        QCOMPARE(numbers.openKeys(), 0); // every key opened is closed
        QCOMPARE(numbers.findFile(dir.path().replace('/', '\\') + "\\hardinfo"), "hardinfo");
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
