#include "ui/WindowTest.h"

#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"
#include "ui/SystemRegistry.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstring>
#include <stdexcept>

namespace {
const QByteArray kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// Values by "key|name"; a key exists when any of its values does.
class FakeRegistry : public Registry
{
public:
    QHash<QByteArray, QPair<quint32, QByteArray>> values;
    QStringList files, started;
    int openKeys = 0;

    long openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                 Key* opened) override
    {
        if (root != LocalMachine || options != 0 || (access & 0x26)) // no write rights asked
            return AccessDenied;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (it.key().startsWith(path + '|')) {
                m_paths.append(path);
                *opened = Key(m_paths.size());
                ++openKeys;
                return Success;
            }
        }
        return FileNotFound;
    }
    long queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                    quint32* size) override
    {
        const auto value = values.value(m_paths.value(int(key) - 1) + '|' + name);
        if (value.second.isNull())
            return FileNotFound;
        if (quint32(value.second.size()) > *size)
            return MoreData;
        std::memcpy(data, value.second.constData(), std::size_t(value.second.size()));
        *type = value.first;
        *size = quint32(value.second.size());
        return Success;
    }
    long closeKey(Key) override { return openKeys-- > 0 ? Success : InvalidHandle; }
    QString findFile(const QString& path) override { return files.contains(path) ? path : ""; }
    bool startProgram(const QString& path) override
    {
        started << path;
        return !path.isEmpty();
    }

private:
    QList<QByteArray> m_paths;
};
} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { beginWindowTest(); }
    void cleanup() { endWindowTest(); }
    void aboutBoxIsOneModelessWindow();
    void getKeyValue_data();
    void getKeyValue();
    void sysInfoStartsTheToolOrSaysItIsUnavailable_data();
    void sysInfoStartsTheToolOrSaysItIsUnavailable();
    void systemRegistryNamesAnInstalledTool();
};

void TestAboutDialog::aboutBoxIsOneModelessWindow()
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
    QCOMPARE(about->windowTitle(), "About Zoredev");
    QCOMPARE(about->findChild<QLabel*>("lblVersion")->text(), "Version 3.0.3");
    QCOMPARE(about->findChild<QLabel*>("lblTitle")->text(), "Zoredev");
    QCOMPARE(about->findChild<QLabel*>("lblTitle")->font().pointSize(), 18);
    QCOMPARE(about->findChild<QLabel*>("lblVersion")->palette().color(QPalette::WindowText),
             QColor(0, 128, 0));
    QCOMPARE(about->findChild<QWidget*>("cmdSysInfo")->geometry(), QRect(284, 205, 83, 23));
    QCOMPARE(about->size(), QSize(382, 237));
    const QString description = about->findChild<QPlainTextEdit*>("txtDescription")->toPlainText();
    QVERIFY(description.startsWith("     Zoredev 3.0 helps") && description.count('\n') == 1);
    QVERIFY(about->findChild<QPlainTextEdit*>("txtDescription")->verticalScrollBar()->isVisible());
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
    window.close();
}

void TestAboutDialog::getKeyValue_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("value");
    QTest::newRow("text with its zero")
        << 1u << QByteArray("C:\\Tools\0", 9) << true << "C:\\Tools";
    QTest::newRow("text without a zero") << 1u << QByteArray("C:\\T") << true << "C:\\T";
    QTest::newRow("number") << 4u << QByteArray("\x05\xAB\x12\x00", 4) << true << "&h12AB05";
    QTest::newRow("other type") << 3u << QByteArray("abc") << true << "old";
    QTest::newRow("longer than the buffer") << 1u << QByteArray(1025, 'x') << false << "";
}

void TestAboutDialog::getKeyValue()
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
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             about.GetKeyValue(Registry::LocalMachine, kToolKey, "PATH", value));
    QCOMPARE(registry.openKeys, 0);
}

void TestAboutDialog::sysInfoStartsTheToolOrSaysItIsUnavailable_data()
{
    QTest::addColumn<QByteArray>("toolPath");     // null: no first key
    QTest::addColumn<QByteArray>("locationPath"); // null: no second key
    QTest::addColumn<bool>("toolFileThere");
    QTest::addColumn<QStringList>("started");
    QTest::newRow("first key") << QByteArray("C:\\A\\tool.exe") << QByteArray("C:\\B") << true
                               << QStringList{"C:\\A\\tool.exe"};
    QTest::newRow("second key") << QByteArray() << QByteArray("C:\\B") << true
                                << QStringList{"C:\\B\\MSINFO32.EXE"};
    QTest::newRow("second key, no tool")
        << QByteArray() << QByteArray("C:\\B") << false << QStringList{};
    QTest::newRow("no key") << QByteArray() << QByteArray() << true << QStringList{};
    QTest::newRow("empty path") << QByteArray("\0", 1) << QByteArray() << true << QStringList{""};
}

void TestAboutDialog::sysInfoStartsTheToolOrSaysItIsUnavailable()
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
                                   : QStringList{"Zoredev|Ok|0|System Information Is Unavailable "
                                                 "At This Time"});
    QCOMPARE(registry.openKeys, 0);
}

void TestAboutDialog::systemRegistryNamesAnInstalledTool()
{
    QTemporaryDir bin;
    QFile tool(bin.filePath("hardinfo"));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\n/usr/bin/touch \"$0.ran\"\n");
    tool.close();
    tool.setPermissions(QFile::ExeOwner | QFile::ReadOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    SystemRegistry registry;
    AboutDialog about(&registry);
    QString value;
    QVERIFY(about.GetKeyValue(Registry::LocalMachine, "software\\microsoft\\shared tools\\msinfo",
                              "Path", value));
    QCOMPARE(value, bin.filePath("hardinfo"));
    QCOMPARE(registry.findFile(bin.path().replace('/', '\\') + "\\HARDINFO"), "hardinfo");
    QCOMPARE(registry.findFile(bin.filePath("none")), "");
    QVERIFY(!registry.startProgram(""));
    about.StartSysInfo();
    QTRY_VERIFY(QFile::exists(bin.filePath("hardinfo.ran")));
    qputenv("PATH", path);
    SystemRegistry none;
    Registry::Key key = 0;
    QCOMPARE(none.openKey(Registry::LocalMachine, kToolKey, 0, 0x20019, &key),
             Registry::FileNotFound);
}

QTEST_MAIN(TestAboutDialog)
#include "tst_AboutDialog.moc"
