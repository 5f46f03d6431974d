#include "FakeRegistry.h"
#include "VisibleWindows.h"
#include "ui/AboutDialog.h"
#include "ui/MessageBox.h"
#include "ui/ProgramIcon.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

class tst_AboutDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void loadFillsCaptionVersionAndTitle();
    void descriptionIsTwoIndentedParagraphsReadOnly();
    void showsTheProgramIcon();
    void etchedLineIsGreyOverWhite();
    void isAFixedOwnerlessToolWindowThatKeepsTheProgramAlive();

    void focusStartsOnOkAndTabWalksTheDrawnOrder();
    void closes_data();
    void closes();
    void altSPressesSystemInfo();

    void showSingleLoadsOnceAndKeepsOneBox();
    void reopeningAfterCloseLoadsAgain();

private:
    template <typename T> static T* child(QWidget* box, const char* name)
    {
        return box->findChild<T*>(QLatin1String(name));
    }
    static int openAboutBoxes()
    {
        return int(visibleTopLevelWindows().count(QStringLiteral("frmAbout")));
    }

    FakeRegistry m_registry;
};

void tst_AboutDialog::init()
{
    MessageBox::clear();
}

void tst_AboutDialog::cleanup()
{
    const QStringList open = closeWindowsLeftOpen();
    // Boxes made but never shown are not closed by the above.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<AboutDialog*>(widget))
            delete widget;
    }
    QVERIFY2(open.isEmpty(), qPrintable(open.join(QLatin1String(", "))));
    QVERIFY(!MessageBox::hasQueuedAnswers());
}

void tst_AboutDialog::loadFillsCaptionVersionAndTitle()
{
    const int loadsBefore = AboutDialog::loadCount();
    auto* box = new AboutDialog(&m_registry);
    QCOMPARE(AboutDialog::loadCount(), loadsBefore + 1);

    QCOMPARE(box->windowTitle(), QStringLiteral("About Zoredev"));
    QCOMPARE(child<QLabel>(box, "lblTitle")->text(), QStringLiteral("Zoredev"));
    // Plain decimal numbers, never the padded resource form 3.00.0003.
    QCOMPARE(child<QLabel>(box, "lblVersion")->text(), QStringLiteral("Version %1.%2.%3")
                                                           .arg(ZOREDEV_VERSION_MAJOR)
                                                           .arg(ZOREDEV_VERSION_MINOR)
                                                           .arg(ZOREDEV_VERSION_PATCH));
    const QString disclaimer = child<QLabel>(box, "lblDisclaimer")->text();
    QVERIFY(disclaimer.startsWith(QLatin1String("Warning: ")));
    QVERIFY(!disclaimer.contains(QLatin1Char('\n')));
}

void tst_AboutDialog::descriptionIsTwoIndentedParagraphsReadOnly()
{
    auto* box = new AboutDialog(&m_registry);
    auto* description = child<QPlainTextEdit>(box, "txtDescription");
    QVERIFY(description->isReadOnly());

    const QStringList paragraphs = description->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(paragraphs.size(), 2);
    for (const QString& paragraph : paragraphs) {
        QVERIFY2(paragraph.startsWith(QLatin1String("     ")) && paragraph.at(5) != u' ' &&
                     !paragraph.endsWith(u' '),
                 qPrintable(paragraph));
    }
    QVERIFY(paragraphs.at(0).contains(QLatin1String("Zoredev 3.0")));
    QVERIFY(paragraphs.at(1).contains(QLatin1String("DOS")));
}

void tst_AboutDialog::showsTheProgramIcon()
{
    auto* box = new AboutDialog(&m_registry);
    QCOMPARE(child<QLabel>(box, "picIcon")->pixmap().toImage(),
             ProgramIcon::icon().pixmap(QSize(32, 32)).toImage());
}

void tst_AboutDialog::etchedLineIsGreyOverWhite()
{
    // Read from the drawn face, so that a line that does not fill its
    // background shows up as missing.
    const QImage face = AboutDialog(&m_registry).grab().toImage();
    const QColor grey(128, 128, 128), faceGrey(192, 192, 192), white(Qt::white);
    QCOMPARE(face.pixelColor(100, 163), grey);
    QCOMPARE(face.pixelColor(100, 164), white);
    QCOMPARE(face.pixelColor(100, 165), white);
    QCOMPARE(face.pixelColor(100, 166), faceGrey);
    QCOMPARE(face.pixelColor(6, 163), grey);
    QCOMPARE(face.pixelColor(6, 164), faceGrey); // the white part starts later
}

void tst_AboutDialog::isAFixedOwnerlessToolWindowThatKeepsTheProgramAlive()
{
    auto* box = new AboutDialog(&m_registry);
    QCOMPARE(box->minimumSize(), box->maximumSize());
    QCOMPARE(box->parentWidget(), nullptr);
    QVERIFY(!box->isModal());
    QCOMPARE(box->windowType(), Qt::Tool);
    const Qt::WindowFlags flags = box->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(box->testAttribute(Qt::WA_QuitOnClose));
    // Enter must mean OK, never System Info.
    QVERIFY(child<QPushButton>(box, "cmdOK")->isDefault());
    QVERIFY(!child<QPushButton>(box, "cmdSysInfo")->isDefault());
}

void tst_AboutDialog::focusStartsOnOkAndTabWalksTheDrawnOrder()
{
    AboutDialog* box = AboutDialog::showSingle();
    QVERIFY(QTest::qWaitForWindowActive(box));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(box, "cmdOK"));

    for (const char* next : {"picIcon", "cmdSysInfo", "txtDescription", "cmdOK"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(box, next));
    }
    box->close();
}

void tst_AboutDialog::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK pressed") << "ok";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Enter in the description") << "enter-description";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close control") << "close";
}

void tst_AboutDialog::closes()
{
    QFETCH(QString, how);
    QPointer<AboutDialog> box = AboutDialog::showSingle();
    QVERIFY(QTest::qWaitForWindowActive(box));

    if (how == QLatin1String("ok")) {
        child<QPushButton>(box, "cmdOK")->click();
    } else if (how == QLatin1String("enter")) {
        QTest::keyClick(box, Qt::Key_Return);
    } else if (how == QLatin1String("enter-description")) {
        auto* description = child<QWidget>(box, "txtDescription");
        description->setFocus();
        QTest::keyClick(description, Qt::Key_Return);
    } else if (how == QLatin1String("escape")) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    } else {
        box->close();
    }
    QTRY_VERIFY(!box); // unloaded, not merely hidden
    QCOMPARE(openAboutBoxes(), 0);
}

void tst_AboutDialog::altSPressesSystemInfo()
{
    auto* box = new AboutDialog(&m_registry);
    box->show();
    QVERIFY(QTest::qWaitForWindowActive(box));
    m_registry.addText("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", "/opt/info");
    m_registry.starts.clear();
    MessageBox::setNextAnswer(MessageBox::Ok); // a wrong box must not block the test
    QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
    // An access key presses its button visibly, so the click comes a moment later.
    QTRY_COMPARE(m_registry.starts, QStringList{QStringLiteral("/opt/info")});
    QVERIFY(MessageBox::history().isEmpty());
    MessageBox::clear();
    box->close();
}

void tst_AboutDialog::showSingleLoadsOnceAndKeepsOneBox()
{
    const int loadsBefore = AboutDialog::loadCount();
    QPointer<AboutDialog> first = AboutDialog::showSingle();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr); // the main window stays usable

    QCOMPARE(AboutDialog::showSingle(), first.data());
    QCOMPARE(AboutDialog::loadCount(), loadsBefore + 1);
    int made = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        made += widget->objectName() == QLatin1String("frmAbout");
    QCOMPARE(made, 1);

    first->close();
    QTRY_VERIFY(!first);
}

void tst_AboutDialog::reopeningAfterCloseLoadsAgain()
{
    const int loadsBefore = AboutDialog::loadCount();
    QPointer<AboutDialog> first = AboutDialog::showSingle();
    child<QPushButton>(first, "cmdOK")->click();
    // Chosen again before the closed box is gone: a new one must come.
    AboutDialog* second = AboutDialog::showSingle();
    QVERIFY(second != first.data());
    QCOMPARE(AboutDialog::loadCount(), loadsBefore + 2);
    QTRY_VERIFY(!first);
    QVERIFY(second->isVisible());
    QCOMPARE(openAboutBoxes(), 1);
    second->close();
}

QTEST_MAIN(tst_AboutDialog)
#include "tst_AboutDialog.moc"
