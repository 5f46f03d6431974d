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

namespace {
const QString kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
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
        for (int i = 0; i < 2; ++i)
            window.findChild<QAction*>("mnuAbout")->trigger();
        AboutDialog* about = AboutDialog::showSingle();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QVERIFY(AboutDialog::loadCount() == loads + 1 && !about->isModal() && !about->parent());
        const auto label = [about](const char* name) { return about->findChild<QLabel*>(name); };
        QCOMPARE(about->objectName() + '|' + about->windowTitle() + '|' +
                     label("lblTitle")->text() + '|' + label("lblVersion")->text(),
                 "frmAbout|About Zoredev|Zoredev|Version 3.0.3");
        const QFont title = label("lblTitle")->font();
        QVERIFY(title.pointSize() == 18 && title.bold() && title.italic());
        QCOMPARE(label("lblVersion")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        const auto* description = about->findChild<QPlainTextEdit*>("txtDescription");
        QVERIFY(description->toPlainText().count("\n     ") == 1 &&
                description->verticalScrollBar()->isVisible());
        QString order;
        for (int i = 0; i < 5; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            order += QApplication::focusWidget()->objectName() + ' ';
        QCOMPARE(order, "cmdOK picIcon cmdSysInfo txtDescription cmdOK ");
        // Enter and Esc press OK; any other key is the focused control's.
        QTest::keyClick(about, Qt::Key_A);
        QVERIFY(about->isVisible());
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(!about->isVisible());
        window.findChild<QAction*>("mnuAbout")->trigger();
        const QPointer<AboutDialog> again = AboutDialog::showSingle();
        QVERIFY(AboutDialog::loadCount() == loads + 2);
        QTest::keyClick(again, Qt::Key_Return);
        QTRY_VERIFY(!again);
    }

    // This desktop's registry names the first information tool installed, which the
    // button starts; with none installed it says so.
    void sysInfoStartsTheToolOrSaysItIsUnavailable()
    {
        QTemporaryDir bin;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        AboutDialog().StartSysInfo();
        QCOMPARE(takeShownBoxes(),
                 QStringList{"Zoredev|Ok|0|System Information Is Unavailable At This Time"});
        writeFile(bin.filePath("hardinfo"), "#!/bin/sh\n/usr/bin/touch \"$0.ran\"\n");
        QFile::setPermissions(bin.filePath("hardinfo"), QFile::ExeOwner | QFile::ReadOwner);
        SystemRegistry registry;
        AboutDialog about(&registry);
        QString value = "old";
        QVERIFY(!about.GetKeyValue(Registry::LocalMachine, kLocationKey, "MSINFO", value));
        QVERIFY(value.isEmpty() &&
                about.GetKeyValue(Registry::LocalMachine,
                                  "software\\microsoft\\shared tools\\msinfo", "Path", value));
        QCOMPARE(value, bin.filePath("hardinfo")); // without the zero it is stored with
        QCOMPARE(registry.findFile(bin.path().replace('/', '\\') + "\\hardinfo"), "hardinfo");
        QTest::mouseClick(about.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        QTRY_VERIFY(QFile::exists(bin.filePath("hardinfo.ran")));
        QCOMPARE(registry.openKeys(), 0);
        qputenv("PATH", path);
        // A number is written in hexadecimal, most significant byte first.
        SystemRegistry numbers({{kToolKey + "|PATH", {4, QByteArray("\x05\xAB\x12\x00", 4)}}});
        QVERIFY(AboutDialog(&numbers).GetKeyValue(Registry::LocalMachine, kToolKey, "PATH", value));
        QCOMPARE(value, "&h12AB05");
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
