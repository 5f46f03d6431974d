#include "ui/WindowTest.h"

#include "ui/AboutDialog.h"

#include <QProcess>
#include <QScopeGuard>

namespace {
const QString kTool = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString kLocation = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location";
const QString kUnavailable = "Zoredev|Ok|0|System Information Is Unavailable At This Time";

void removeKeys()
{
    for (const QString& key : {kTool, kLocation})
        QProcess::execute("reg", {"delete", key, "/f"});
}

// Ends the program and tells whether it was running (Wine 8's tasklist lists nothing).
bool ended(const QString& program)
{
    return QProcess::execute("taskkill", {"/f", "/im", program}) == 0;
}

void reg(const QStringList& arguments)
{
    QProcess reg;
    reg.start("reg", arguments);
    QVERIFY2(reg.waitForFinished() && reg.exitCode() == 0, qPrintable(arguments.join(' ')));
}
} // namespace

// System Info against the system's own registry, its keys written with reg as an
// installer would, and the system's own msinfo32.exe.
class TestWindowsRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        removeKeys();
        MessageBox::interceptForTests(true);
    }
    void cleanup()
    {
        ended("msinfo32.exe"); // started by a row
        removeKeys();
        endWindowTest();
    }

    void startSysInfo_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("value"); // reg add's /v, /t and /d
        QTest::addColumn<QStringList>("boxes");
        const QString tool = qEnvironmentVariable("SystemRoot") + "\\system32";
        QTest::newRow("neither key") << kTool << QStringList{} << QStringList{kUnavailable};
        QTest::newRow("first key")
            << kTool << QStringList{"PATH", "REG_SZ", tool + "\\msinfo32.exe"} << QStringList{};
        QTest::newRow("first key, no such program")
            << kTool << QStringList{"PATH", "REG_SZ", tool + "\\none.exe"}
            << QStringList{kUnavailable};
        QTest::newRow("first key, a number")
            << kTool << QStringList{"PATH", "REG_DWORD", "1"} << QStringList{kUnavailable};
        QTest::newRow("first key, too long")
            << kTool << QStringList{"PATH", "REG_SZ", tool + QString(1024, 'x')}
            << QStringList{kUnavailable};
        QTest::newRow("second key")
            << kLocation << QStringList{"MSINFO", "REG_SZ", tool} << QStringList{};
        QTest::newRow("second key, without MSINFO32.EXE")
            << kLocation << QStringList{"MSINFO", "REG_SZ", tool + "\\drivers"}
            << QStringList{kUnavailable};
    }
    void startSysInfo()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, value);
        if (!value.isEmpty())
            reg({"add", key, "/v", value[0], "/t", value[1], "/d", value[2], "/f"});
        AboutDialog().StartSysInfo();
        QFETCH(QStringList, boxes);
        QCOMPARE(takeShownBoxes(), boxes);
        if (boxes.isEmpty()) // the tool itself started
            QVERIFY(QTest::qWaitFor([] { return ended("msinfo32.exe"); }));
    }
};

QTEST_MAIN(TestWindowsRegistry)
#include "tst_WindowsRegistry.moc"
