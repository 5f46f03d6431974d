#include "ui/WindowTest.h"

#include "support/TestFiles.h"
#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"
#include "ui/SystemRegistry.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <stdexcept>

namespace {
const QByteArray kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// Values by "key|name", each with its type; a key exists when a value of it does.
class FakeRegistry : public Registry
{
public:
    QHash<QByteArray, QPair<quint32, QByteArray>> values;
    QStringList files, started;
    QList<QByteArray> open; // by handle - 1; emptied when closed

    long openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                 Key* opened) override
    {
        if (root != LocalMachine || options != 0 || (access & 0x26)) // no write rights asked
            return AccessDenied;
        for (const QByteArray& key : values.keys()) {
            if (key.startsWith(path + '|')) {
                open.append(path);
                *opened = Key(open.size());
                return Success;
            }
        }
        return FileNotFound;
    }
    long queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                    quint32* size) override
    {
        const auto [valueType, value] = values.value(open.value(int(key) - 1) + '|' + name);
        if (value.isNull() || quint32(value.size()) > *size)
            return value.isNull() ? FileNotFound : MoreData;
        std::copy(value.begin(), value.end(), data);
        *type = valueType;
        *size = quint32(value.size());
        return Success;
    }
    long closeKey(Key key) override
    {
        if (int(key) < 1 || int(key) > open.size() || open[int(key) - 1].isNull())
            return InvalidHandle;
        open[int(key) - 1].clear();
        return Success;
    }
    bool allClosed() const
    {
        return std::all_of(open.begin(), open.end(),
                           [](const QByteArray& k) { return k.isNull(); });
    }
    QString findFile(const QString& path) override { return files.contains(path) ? path : ""; }
    bool startProgram(const QString& path) override
    {
        started << path;
        return !path.isEmpty();
    }
};
} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { beginWindowTest(); }
    void cleanup() { endWindowTest(); }

    void aboutBoxIsOneModelessWindow()
    {
        QTemporaryDir dir;
        MainWindow window(dir.path());
        window.show();
        const int loads = AboutDialog::loadCount();
        window.findChild<QAction*>("mnuAbout")->trigger();
        window.findChild<QAction*>("mnuAbout")->trigger();
        QCOMPARE(AboutDialog::loadCount(), loads + 1);
        AboutDialog* about = AboutDialog::showSingle();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QVERIFY(!about->isModal() && !about->parent() && about->objectName() == "frmAbout");
        const auto label = [about](const char* name) { return about->findChild<QLabel*>(name); };
        QCOMPARE(about->windowTitle() + '|' + label("lblTitle")->text() + '|' +
                     label("lblVersion")->text(),
                 "About Zoredev|Zoredev|Version 3.0.3");
        QCOMPARE(label("lblTitle")->font().pointSize(), 18);
        QCOMPARE(label("lblVersion")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QCOMPARE(about->findChild<QWidget*>("cmdSysInfo")->geometry(), QRect(284, 205, 83, 23));
        QCOMPARE(about->size(), QSize(382, 237));
        const auto* description = about->findChild<QPlainTextEdit*>("txtDescription");
        QVERIFY(description->toPlainText().startsWith("     Zoredev 3.0 helps") &&
                description->toPlainText().count('\n') == 1);
        QVERIFY(description->verticalScrollBar()->isVisible());
        // Enter and Esc press OK; any other key is the focused control's.
        QTest::keyClick(about, Qt::Key_A);
        QVERIFY(about->isVisible());
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(!about->isVisible());
        window.findChild<QAction*>("mnuAbout")->trigger();
        QCOMPARE(AboutDialog::loadCount(), loads + 2);
        const QPointer<AboutDialog> again = AboutDialog::showSingle();
        QTest::keyClick(again, Qt::Key_Return);
        QTRY_VERIFY(!again);
    }

    void getKeyValue_data()
    {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("value");
        QTest::newRow("text with its zero") << 1u << QByteArray("C:\\T\0", 5) << true << "C:\\T";
        QTest::newRow("text without a zero") << 1u << QByteArray("C:\\T") << true << "C:\\T";
        QTest::newRow("number") << 4u << QByteArray("\x05\xAB\x12\x00", 4) << true << "&h12AB05";
        QTest::newRow("other type") << 3u << QByteArray("abc") << true << "old";
        QTest::newRow("longer than the buffer") << 1u << QByteArray(1025, 'x') << false << "";
    }
    void getKeyValue()
    {
        QFETCH(quint32, type);
        QFETCH(QByteArray, stored);
        FakeRegistry registry;
        registry.values[kToolKey + "|PATH"] = {type, stored};
        AboutDialog about(&registry);
        QString value = "old";
        QTEST(about.GetKeyValue(Registry::LocalMachine, kToolKey, "PATH", value), "result");
        QTEST(value, "value");
        QVERIFY(!about.GetKeyValue(Registry::LocalMachine, kLocationKey, "PATH", value));
        QCOMPARE(value, "");
        registry.values[kToolKey + "|PATH"] = {1, QByteArray("")};
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error, about.GetKeyValue(Registry::LocalMachine, kToolKey, "PATH", value));
        QVERIFY(registry.allClosed());
    }

    void sysInfoStartsTheToolOrSaysItIsUnavailable_data()
    {
        QTest::addColumn<QByteArray>("toolPath");     // null: no first key
        QTest::addColumn<QByteArray>("locationPath"); // null: no second key
        QTest::addColumn<bool>("toolFileThere");
        QTest::addColumn<QStringList>("started");
        const QByteArray none, location = "C:\\B";
        QTest::newRow("first key")
            << QByteArray("C:\\A\\t.exe") << location << true << QStringList{"C:\\A\\t.exe"};
        QTest::newRow("second key")
            << none << location << true << QStringList{"C:\\B\\MSINFO32.EXE"};
        QTest::newRow("second key, no tool") << none << location << false << QStringList{};
        QTest::newRow("no key") << none << none << true << QStringList{};
        QTest::newRow("empty path") << QByteArray("\0", 1) << none << true << QStringList{""};
    }
    void sysInfoStartsTheToolOrSaysItIsUnavailable()
    {
        QFETCH(QByteArray, toolPath);
        QFETCH(QByteArray, locationPath);
        QFETCH(QStringList, started);
        FakeRegistry registry;
        if (!toolPath.isNull())
            registry.values[kToolKey + "|PATH"] = {1, toolPath};
        if (!locationPath.isNull())
            registry.values[kLocationKey + "|MSINFO"] = {1, locationPath};
        QFETCH(bool, toolFileThere);
        if (toolFileThere)
            registry.files << "C:\\B\\MSINFO32.EXE";
        AboutDialog about(&registry);
        QTest::mouseClick(about.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(registry.started, started);
        const bool ran = !started.isEmpty() && !started.first().isEmpty();
        QCOMPARE(takeShownBoxes(), ran ? QStringList()
                                       : QStringList{"Zoredev|Ok|0|System Information Is "
                                                     "Unavailable At This Time"});
        QVERIFY(registry.allClosed());
    }

    // On this system the first key names the first information tool installed.
    void systemRegistryNamesAnInstalledTool()
    {
        QTemporaryDir bin;
        writeFile(bin.filePath("hardinfo"), "#!/bin/sh\n/usr/bin/touch \"$0.ran\"\n");
        QFile::setPermissions(bin.filePath("hardinfo"), QFile::ExeOwner | QFile::ReadOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        SystemRegistry registry;
        AboutDialog about(&registry);
        QString value;
        QVERIFY(about.GetKeyValue(Registry::LocalMachine,
                                  "software\\microsoft\\shared tools\\msinfo", "Path", value));
        QCOMPARE(value, bin.filePath("hardinfo"));
        QCOMPARE(registry.findFile(bin.path().replace('/', '\\') + "\\HARDINFO"), "hardinfo");
        QCOMPARE(registry.findFile(bin.filePath("none")), "");
        QVERIFY(!registry.startProgram(""));
        about.StartSysInfo();
        QTRY_VERIFY(QFile::exists(bin.filePath("hardinfo.ran")));
        qputenv("PATH", path);
        Registry::Key key = 0;
        QCOMPARE(SystemRegistry().openKey(Registry::LocalMachine, kToolKey, 0, 0x20019, &key),
                 Registry::FileNotFound);
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_AboutDialog.moc"
