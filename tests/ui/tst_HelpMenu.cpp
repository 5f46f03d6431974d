#include "VisibleWindows.h"
#include "ui/HelpMenu.h"
#include "ui/MakerContact.h"
#include "ui/MessageBox.h"

#include <QTest>

class tst_HelpMenu : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void eachBoxShowsItsTextWithOkOnlyAndTheProgramsTitle_data();
    void eachBoxShowsItsTextWithOkOnlyAndTheProgramsTitle();
    void contactValuesAreMadeUp();
};

using ShowBox = MessageBox::Answer (*)(QWidget*);
Q_DECLARE_METATYPE(ShowBox)

void tst_HelpMenu::init()
{
    MessageBox::clear();
}

void tst_HelpMenu::cleanup()
{
    const QStringList open = closeWindowsLeftOpen();
    QVERIFY2(open.isEmpty(), qPrintable(open.join(QLatin1String(", "))));
    QVERIFY(!MessageBox::hasQueuedAnswers());
}

void tst_HelpMenu::eachBoxShowsItsTextWithOkOnlyAndTheProgramsTitle_data()
{
    QTest::addColumn<ShowBox>("show");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("QuickHelp") << &HelpMenu::showQuickHelp
                               << QStringList{"Error: You asked for help when none is needed."};
    QTest::newRow("Registration") << &HelpMenu::showRegistration
                                  << QStringList{
                                         "     ",
                                         "",
                                         "     Zoredev 3.0 Registration",
                                         "     123 Example Lane",
                                         "     Anytown, ZZ",
                                         "     00000",
                                         "",
                                         "Thanks for your interest in Zoredev.  Happy hunting!",
                                     };
    QTest::newRow("Bugs/Comments/Suggestions")
        << &HelpMenu::showBugs
        << QStringList{
               "     If you think you have found a bug and would like to report it, have a "
               "comment, constructive criticism or suggestion about Zoredev, please contact me "
               "via one of the following methods:",
               "",
               "     E-Mail: hunt@zoredev.example.com",
               "     ICQ: 000000000",
               "",
               "     Your input is greatly appreciated.  Please help me decide what to add to "
               "Zoredev in the next release.  Thanks,",
               "",
               "     The Zoredev Team",
           };
}

void tst_HelpMenu::eachBoxShowsItsTextWithOkOnlyAndTheProgramsTitle()
{
    QFETCH(ShowBox, show);
    QFETCH(QStringList, lines);

    MessageBox::setNextAnswer(MessageBox::Ok);
    QCOMPARE(show(nullptr), MessageBox::Ok);

    QCOMPARE(MessageBox::history().size(), 1);
    const MessageBox::Record& box = MessageBox::history().first();
    // Compared line by line first so that a failure names the line.
    QCOMPARE(box.text.split(QLatin1Char('\n')), lines);
    QCOMPARE(box.text, lines.join(QLatin1Char('\n')));
    QVERIFY(!box.text.contains(QLatin1Char('\r')));
    QCOMPARE(box.style, int(MessageBox::OkOnly));
    QCOMPARE(box.title, QStringLiteral("Zoredev"));
}

void tst_HelpMenu::contactValuesAreMadeUp()
{
    QVERIFY(QString(MakerContact::email).endsWith(QLatin1String(".example.com")));
    QCOMPARE(QString(MakerContact::email).count(QLatin1Char('@')), 1);
}

QTEST_MAIN(tst_HelpMenu)
#include "tst_HelpMenu.moc"
