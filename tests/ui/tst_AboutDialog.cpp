#include "FakeRegistry.h"
#include "VisibleWindows.h"
#include "ui/AboutDialog.h"
#include "ui/MessageBox.h"
#include "ui/ProgramIcon.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

class tst_AboutDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void loadFillsCaptionVersionAndTitle();
    void controlsSitWhereDrawn_data();
    void controlsSitWhereDrawn();
    void boxHasAFixedSize();
    void textsUseTheirFontsAndColours_data();
    void textsUseTheirFontsAndColours();
    void etchedLineIsGreyOverWhite();
    void descriptionIsTwoIndentedParagraphsReadOnly();
    void showsTheProgramIcon();
    void buttons();
    void isAnOwnerlessToolWindowThatKeepsTheProgramAlive();

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
    static int openAboutBoxes();

    FakeRegistry m_registry;
};

int tst_AboutDialog::openAboutBoxes()
{
    return int(visibleTopLevelWindows().count(QStringLiteral("frmAbout")));
}

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
    const QString version = child<QLabel>(box, "lblVersion")->text();
    QCOMPARE(version, QStringLiteral("Version %1.%2.%3")
                          .arg(ZOREDEV_VERSION_MAJOR)
                          .arg(ZOREDEV_VERSION_MINOR)
                          .arg(ZOREDEV_VERSION_PATCH));
    // Plain decimal numbers, never the padded resource form 3.00.0003.
    QVERIFY2(QRegularExpression(
                 QStringLiteral("^Version (0|[1-9]\\d*)\\.(0|[1-9]\\d*)\\.(0|[1-9]\\d*)$"))
                 .match(version)
                 .hasMatch(),
             qPrintable(version));
    const QString disclaimer = child<QLabel>(box, "lblDisclaimer")->text();
    QVERIFY(disclaimer.startsWith(QLatin1String("Warning: ")));
    QVERIFY(!disclaimer.contains(QLatin1Char('\n')));
}

void tst_AboutDialog::controlsSitWhereDrawn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // the drawn twips divided by 15

    QTest::newRow("picIcon") << "picIcon" << QRect(16, 16, 36, 36);
    QTest::newRow("lblTitle") << "lblTitle" << QRect(70, 8, 259, 32);
    QTest::newRow("lblVersion") << "lblVersion" << QRect(70, 40, 259, 23);
    QTest::newRow("txtDescription") << "txtDescription" << QRect(8, 64, 369, 89);
    QTest::newRow("Line1_1") << "Line1_1" << QRect(6, 163, 371, 1);
    QTest::newRow("Line1_0") << "Line1_0" << QRect(7, 164, 370, 2);
    QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(17, 175, 258, 55);
    QTest::newRow("cmdOK") << "cmdOK" << QRect(283, 175, 84, 23);
    QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(284, 205, 83, 23);
}

void tst_AboutDialog::controlsSitWhereDrawn()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    auto* box = new AboutDialog(&m_registry);
    auto* control = box->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), box);
    QCOMPARE(control->geometry(), geometry);
}

void tst_AboutDialog::boxHasAFixedSize()
{
    auto* box = new AboutDialog(&m_registry);
    QCOMPARE(box->minimumSize(), QSize(382, 237));
    QCOMPARE(box->maximumSize(), QSize(382, 237));
}

void tst_AboutDialog::textsUseTheirFontsAndColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("points"); // 0: the box's own font
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<Qt::Alignment>("alignment");

    QTest::newRow("lblTitle") << "lblTitle" << 18 << true << QColor(0, 0, 192)
                              << Qt::Alignment(Qt::AlignHCenter);
    QTest::newRow("lblVersion") << "lblVersion" << 12 << false << QColor(0, 128, 0)
                                << Qt::Alignment(Qt::AlignHCenter);
    QTest::newRow("lblDisclaimer")
        << "lblDisclaimer" << 0 << false << QColor(Qt::black) << Qt::Alignment(Qt::AlignLeft);
}

void tst_AboutDialog::textsUseTheirFontsAndColours()
{
    QFETCH(QString, name);
    QFETCH(int, points);
    QFETCH(bool, italic);
    QFETCH(QColor, colour);
    QFETCH(Qt::Alignment, alignment);

    auto* box = new AboutDialog(&m_registry);
    auto* label = box->findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label->palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, alignment);
    if (points == 0) {
        QCOMPARE(label->font(), box->font());
        return;
    }
    QCOMPARE(label->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(label->font().pointSize(), points);
    QVERIFY(label->font().bold());
    QCOMPARE(label->font().italic(), italic);
}

void tst_AboutDialog::etchedLineIsGreyOverWhite()
{
    auto* box = new AboutDialog(&m_registry);
    QCOMPARE(box->palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(box->autoFillBackground());

    const QImage face = box->grab().toImage();
    QCOMPARE(face.pixelColor(100, 163), QColor(128, 128, 128));
    QCOMPARE(face.pixelColor(100, 164), QColor(Qt::white));
    QCOMPARE(face.pixelColor(100, 165), QColor(Qt::white));
    QCOMPARE(face.pixelColor(100, 166), QColor(192, 192, 192));
    QCOMPARE(face.pixelColor(6, 163), QColor(128, 128, 128));
    QCOMPARE(face.pixelColor(6, 164), QColor(192, 192, 192)); // the white part starts later
}

void tst_AboutDialog::descriptionIsTwoIndentedParagraphsReadOnly()
{
    auto* box = new AboutDialog(&m_registry);
    auto* description = child<QPlainTextEdit>(box, "txtDescription");
    QVERIFY(description->isReadOnly());
    QCOMPARE(description->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(description->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(description->palette().color(QPalette::Text), QColor(Qt::black));

    const QStringList paragraphs = description->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(paragraphs.size(), 2);
    for (const QString& paragraph : paragraphs) {
        QVERIFY2(paragraph.startsWith(QLatin1String("     ")) && paragraph.at(5) != u' ',
                 qPrintable(paragraph));
        QVERIFY(!paragraph.endsWith(u' '));
    }
    QVERIFY(paragraphs.at(0).contains(QLatin1String("Zoredev 3.0")));
    QVERIFY(paragraphs.at(1).contains(QLatin1String("DOS")));
}

void tst_AboutDialog::showsTheProgramIcon()
{
    auto* box = new AboutDialog(&m_registry);
    const QImage wanted = ProgramIcon::icon().pixmap(QSize(32, 32)).toImage();
    QCOMPARE(child<QLabel>(box, "picIcon")->pixmap().toImage(), wanted);
    QCOMPARE(child<QLabel>(box, "picIcon")->alignment(), Qt::AlignCenter);
}

void tst_AboutDialog::buttons()
{
    auto* box = new AboutDialog(&m_registry);
    auto* ok = child<QPushButton>(box, "cmdOK");
    auto* sysInfo = child<QPushButton>(box, "cmdSysInfo");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(sysInfo->text(), QStringLiteral("&System Info..."));
    QVERIFY(!sysInfo->isDefault());
}

void tst_AboutDialog::isAnOwnerlessToolWindowThatKeepsTheProgramAlive()
{
    auto* box = new AboutDialog(&m_registry);
    QCOMPARE(box->parentWidget(), nullptr);
    QVERIFY(!box->isModal());
    QCOMPARE(box->windowType(), Qt::Tool);
    const Qt::WindowFlags flags = box->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(box->testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(box->testAttribute(Qt::WA_DeleteOnClose));
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

    AboutDialog* second = AboutDialog::showSingle();
    QCOMPARE(second, first.data());
    QCOMPARE(AboutDialog::loadCount(), loadsBefore + 1);
    QCOMPARE(openAboutBoxes(), 1);
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
