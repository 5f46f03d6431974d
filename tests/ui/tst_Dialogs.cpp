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
#include <QTimer>

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
    QList<QByteArray> keys; // by handle - 1
    int open = 0;

    long openKey(Key root, const QByteArray& path, quint32 options, quint32 access,
                 Key* opened) override
    {
        if (root != LocalMachine || options != 0 || (access & 0x26)) // no write rights asked
            return AccessDenied;
        if (std::none_of(values.keyBegin(), values.keyEnd(),
                         [&](const QByteArray& key) { return key.startsWith(path + '|'); }))
            return FileNotFound;
        keys.append(path);
        *opened = Key(keys.size());
        ++open;
        return Success;
    }
    long queryValue(Key key, const QByteArray& name, quint32* type, char* data,
                    quint32* size) override
    {
        const auto [valueType, value] = values.value(keys.value(int(key) - 1) + '|' + name);
        if (value.isNull() || quint32(value.size()) > *size)
            return value.isNull() ? FileNotFound : MoreData;
        std::copy(value.begin(), value.end(), data);
        *type = valueType;
        *size = quint32(value.size());
        return Success;
    }
    long closeKey(Key) override { return open-- > 0 ? Success : InvalidHandle; }
    QString findFile(const QString& path) override { return files.contains(path) ? path : ""; }
    bool startProgram(const QString& path) override
    {
        started << path;
        return !path.isEmpty();
    }
};
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init() { beginWindowTest(); }
    void cleanup() { endWindowTest(); }

    // The boxes as the user meets them, answered by key: Esc says No to a question,
    // Enter takes the default button.
    void messageBoxes()
    {
        MessageBox::interceptForTests(false);
        QStringList seen;
        const auto answer = [&seen](Qt::Key key) {
            QTimer::singleShot(0, [&seen, key] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                seen << box->windowTitle() + '|' + box->text() + '|' +
                            QString::number(box->icon()) + QString::number(box->textFormat()) +
                            '|' + box->defaultButton()->text();
                QTest::keyClick(box, key);
            });
        };
        answer(Qt::Key_Escape);
        QCOMPARE(MessageBox::ask(nullptr, "Sure?  Yes.", "Asked"), QMessageBox::No);
        answer(Qt::Key_Return);
        QCOMPARE(MessageBox::ask(nullptr, "Sure?", "Asked", QMessageBox::Critical, QMessageBox::No),
                 QMessageBox::No);
        answer(Qt::Key_Return);
        QCOMPARE(MessageBox::inform(nullptr, "<b>Done</b>"), QMessageBox::Ok);
        QCOMPARE(seen.join(';'),
                 "Asked|Sure?  Yes.|00|&Yes;Asked|Sure?|30|&No;Zoredev|<b>Done</b>|00|OK");
        MessageBox::interceptForTests(true);
    }

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
        const auto* description = about->findChild<QPlainTextEdit*>("txtDescription");
        QVERIFY(description->toPlainText().startsWith("     Zoredev 3.0 helps") &&
                description->toPlainText().count('\n') == 1);
        QVERIFY(description->verticalScrollBar()->isVisible());
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order.join(' '), "cmdOK picIcon cmdSysInfo txtDescription");
        QCOMPARE(QApplication::focusWidget()->objectName(), "cmdOK");
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

    // The first key's value as stored, the second key's, and what the button does with them.
    void sysInfoStartsTheToolOrSaysItIsUnavailable_data()
    {
        QTest::addColumn<quint32>("type"); // of the first key's value; 0: no first key
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("location"); // null: no second key
        QTest::addColumn<bool>("toolThere");      // MSINFO32.EXE where the second key says
        QTest::addColumn<QStringList>("started");
        const QByteArray none, location = "C:\\B";
        const auto row = [](const char* name, quint32 type, const QByteArray& stored,
                            const QByteArray& location, bool toolThere,
                            const QStringList& started) {
            QTest::newRow(name) << type << stored << location << toolThere << started;
        };
        row("text with its zero", 1, QByteArray("C:\\A\\t.exe\0", 11), location, true,
            {"C:\\A\\t.exe"});
        row("text without a zero", 1, "C:\\T", none, true, {"C:\\T"});
        row("number", 4, QByteArray("\x05\xAB\x12\x00", 4), none, true, {"&h12AB05"});
        row("other type", 3, "abc", none, true, {""});
        row("empty text", 1, QByteArray("\0", 1), none, true, {""});
        row("zero length", 1, "", location, true, {});
        row("longer than the buffer", 1, QByteArray(1025, 'x'), location, true,
            {"C:\\B\\MSINFO32.EXE"});
        row("second key", 0, none, location, true, {"C:\\B\\MSINFO32.EXE"});
        row("second key, no tool", 0, none, location, false, {});
        row("no key", 0, none, none, true, {});
    }
    void sysInfoStartsTheToolOrSaysItIsUnavailable()
    {
        QFETCH(quint32, type);
        QFETCH(QByteArray, location);
        QFETCH(bool, toolThere);
        QFETCH(QStringList, started);
        FakeRegistry registry;
        QFETCH(QByteArray, stored);
        if (type)
            registry.values[kToolKey + "|PATH"] = {type, stored};
        if (!location.isNull())
            registry.values[kLocationKey + "|MSINFO"] = {1, location};
        if (toolThere)
            registry.files << "C:\\B\\MSINFO32.EXE";
        AboutDialog about(&registry);
        QTest::mouseClick(about.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(registry.started, started);
        const bool ran = !started.isEmpty() && !started.first().isEmpty();
        QCOMPARE(takeShownBoxes(), ran ? QStringList()
                                       : QStringList{"Zoredev|Ok|0|System Information Is "
                                                     "Unavailable At This Time"});
        QCOMPARE(registry.open, 0);
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
        QString value = "old";
        QVERIFY(!about.GetKeyValue(Registry::LocalMachine, kLocationKey, "MSINFO", value));
        QVERIFY(value.isEmpty() &&
                about.GetKeyValue(Registry::LocalMachine,
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

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
