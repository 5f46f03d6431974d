#include "ui/WindowTest.h"

#include "support/TestFiles.h"
#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include "platform/win/MsInfoRegistry.h"
#endif

namespace {
const QString kUnavailable = "Zoredev|Ok|0|System Information Is Unavailable At This Time";
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init() { MessageBox::interceptForTests(true); }
    void cleanup() { endWindowTest(); }

    // Opened twice, loaded once; closed by Esc or Enter, loaded again on the next
    // opening.
    void aboutBox()
    {
        QTemporaryDir dir;
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
        QVERIFY(about->findChild<QPlainTextEdit*>("txtDescription")->isReadOnly());
        QString order;
        for (int i = 0; i < 5; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            order += QApplication::focusWidget()->objectName() + ' ';
        QCOMPARE(order, "cmdOK picIcon cmdSysInfo txtDescription cmdOK ");
        about->findChild<QWidget*>("picIcon")->setFocus(); // Enter presses OK from anywhere
        QVERIFY(about->findChild<QPushButton*>("cmdOK")->isDefault());
        const QPointer<AboutDialog> closed = about;
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(!closed); // closing it unloads it, so the next opening loads it anew
        const QPointer<AboutDialog> again = AboutDialog::showSingle();
        QTest::keyClick(again, Qt::Key_Return);
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
#else
    // Where Windows names its information tool: the first key's PATH, else MSINFO32.EXE
    // in the folder the second key names. The keys are the test's own, written with reg
    // under the current user and removed afterwards; nothing is started.
    void toolPath_data()
    {
        QTest::addColumn<QString>("key"); // below the test's own, in place of SOFTWARE\Microsoft
        QTest::addColumn<QStringList>("value"); // reg add's /v, /t and /d; %1 the tool's folder
        QTest::addColumn<QString>("found");
        const QString tool = "Shared Tools\\MSINFO", location = "Shared Tools Location";
        QTest::newRow("first key")
            << tool << QStringList{"PATH", "REG_SZ", "%1\\x.exe"} << "%1\\x.exe";
        QTest::newRow("a number") << tool << QStringList{"PATH", "REG_DWORD", "0x12AB05"}
                                  << "&h12AB05";
        QTest::newRow("empty") << tool << QStringList{"PATH", "REG_BINARY", ""} << "";
        QTest::newRow("too long") << tool << QStringList{"PATH", "REG_SZ", QString(1024, 'x')}
                                  << "";
        QTest::newRow("second key")
            << location << QStringList{"MSINFO", "REG_SZ", "%1"} << "%1\\MSINFO32.EXE";
        QTest::newRow("second key, no tool")
            << location << QStringList{"MSINFO", "REG_SZ", "%1\\drivers"} << "";
    }
    void toolPath()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, value);
        QFETCH(QString, found);
        QTemporaryDir dir;
        writeFile(dir.filePath("MSINFO32.EXE"), "");
        const QString folder = QDir::toNativeSeparators(dir.path());
        const QString root =
            QString("Software\\Zoredev tests %1").arg(QCoreApplication::applicationPid());
        const auto remove = qScopeGuard([&root] {
            QProcess::execute("reg", {"delete", "HKCU\\" + root, "/f"});
        });
        if (!value.isEmpty())
            QCOMPARE(QProcess::execute("reg", {"add", "HKCU\\" + root + "\\" + key, "/v", value[0],
                                               "/t", value[1], "/d",
                                               QString(value[2]).replace("%1", folder), "/f"}),
                     0);
        QCOMPARE(MsInfoRegistry(HKEY_CURRENT_USER, root).toolPath(), found.replace("%1", folder));
    }
#endif
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
