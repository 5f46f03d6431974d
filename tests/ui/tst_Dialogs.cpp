#include "ui/WindowTest.h"

#include "support/TestFiles.h"
#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"
#include "ui/SystemRegistry.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {
const QString kUnavailable = "Zoredev|Ok|0|System Information Is Unavailable At This Time";
const QStringList kToolKeys{"Shared Tools\\MSINFO", "Shared Tools Location"};

#ifdef Q_OS_WIN
void removeToolKeys()
{
    for (const QString& key : kToolKeys)
        QProcess::execute("reg", {"delete", "HKLM\\SOFTWARE\\Microsoft\\" + key, "/f"});
}

// Ends the program and tells whether it was running (Wine 8's tasklist lists nothing).
bool ended(const QString& program)
{
    return QProcess::execute("taskkill", {"/f", "/im", program}) == 0;
}
#endif
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
#ifdef Q_OS_WIN
        removeToolKeys();
#endif
        MessageBox::interceptForTests(true);
    }
    void cleanup()
    {
#ifdef Q_OS_WIN
        ended("msinfo32.exe"); // started by a row
        removeToolKeys();
#endif
        endWindowTest();
    }

    // Opened twice, loaded once; closed by Esc or Enter, loaded again on the next
    // opening. This desktop's registry names the first information tool installed,
    // which System Info starts.
    void aboutBox()
    {
        QTemporaryDir dir;
        const auto restore = qScopeGuard([path = qgetenv("PATH")] { qputenv("PATH", path); });
        qputenv("PATH", dir.path().toLocal8Bit());
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
        QVERIFY(about->findChild<QPlainTextEdit*>("txtDescription")->isReadOnly());
        QString order;
        for (int i = 0; i < 5; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            order += QApplication::focusWidget()->objectName() + ' ';
        QCOMPARE(order, "cmdOK picIcon cmdSysInfo txtDescription cmdOK ");
        about->findChild<QWidget*>("picIcon")->setFocus(); // Enter presses OK from anywhere
        QVERIFY(about->findChild<QPushButton*>("cmdOK")->isDefault());
        QTest::mouseClick(about->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
#ifdef Q_OS_WIN
        // Windows' own registry, which names no tool here (startSysInfo adds one).
        QCOMPARE(takeShownBoxes(), QStringList{kUnavailable});
#else
        QTRY_VERIFY(QFile::exists(dir.filePath("hardinfo.ran")));
#endif
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
    }

    // System Info starts the program the first key names, else MSINFO32.EXE in the folder
    // the second key names. The registry is this desktop's stand-in, the tool a script
    // under both names; on Windows the registry is the system's, its keys written with
    // reg as an installer would, and the tool the system's own msinfo32.exe.
    void startSysInfo_data()
    {
        QTest::addColumn<QString>("key");   // under HKLM\SOFTWARE\Microsoft
        QTest::addColumn<QString>("name");  // of its text value, if it has one
        QTest::addColumn<QString>("value"); // %1 is the tool's folder
        QTest::addColumn<bool>("started");
        const QString tool = kToolKeys[0], location = kToolKeys[1];
        QTest::newRow("neither key") << tool << ""
                                     << "" << false;
        QTest::newRow("first key") << tool << "PATH"
                                   << "%1\\msinfo32.exe" << true;
        QTest::newRow("first key, too long") << tool << "PATH"
                                             << "%1" + QString(1024, 'x') << false;
        QTest::newRow("second key") << location << "MSINFO"
                                    << "%1" << true;
        QTest::newRow("second key, without MSINFO32.EXE") << location << "MSINFO"
                                                          << "%1\\drivers" << false;
    }
    void startSysInfo()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(bool, started);
#ifdef Q_OS_WIN
        value.replace("%1", qEnvironmentVariable("SystemRoot") + "\\system32");
        if (!name.isEmpty())
            QCOMPARE(QProcess::execute("reg", {"add", "HKLM\\SOFTWARE\\Microsoft\\" + key, "/v",
                                               name, "/d", value, "/f"}),
                     0);
        AboutDialog().StartSysInfo();
        const auto ran = [] { return ended("msinfo32.exe"); };
#else
        QTemporaryDir dir;
        for (const char* tool : {"msinfo32.exe", "MSINFO32.EXE"}) {
            writeFile(dir.filePath(tool), "#!/bin/sh\n/usr/bin/touch \"$0.ran\"\n");
            QFile::setPermissions(dir.filePath(tool), QFile::ExeOwner | QFile::ReadOwner);
        }
        SystemRegistry::Values values;
        if (!name.isEmpty())
            values["SOFTWARE\\Microsoft\\" + key + '|' + name] = {
                Registry::TextValue, value.replace("%1", dir.path()).toLocal8Bit() + '\0'};
        SystemRegistry registry(values);
        AboutDialog(&registry).StartSysInfo();
        const auto ran = [&dir] { return !QDir(dir.path()).entryList({"*.ran"}).isEmpty(); };
#endif
        QCOMPARE(takeShownBoxes(), started ? QStringList{} : QStringList{kUnavailable});
        if (started)
            QVERIFY(QTest::qWaitFor(ran));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
