#include "ui/DeferredIconEngine.h"
#include "ui/ProgramStyle.h"

#include <QApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

#include "VisibleWindows.h"

class tst_ProgramStyle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void aDeferredIconIsMadeOnceAndOnlyWhenAskedFor();
    void aCopyMadeBeforeTheFirstUseMakesItsOwnPictures();
    void theOverflowButtonShowsThePlatformStylesPicture_data();
    void theOverflowButtonShowsThePlatformStylesPicture();
    void otherStandardIconsAreThePlatformStyles();
    void aMenuBarBuiltUnderItDrawsItsOverflowButton();
};

void tst_ProgramStyle::initTestCase()
{
    ProgramStyle::install();
    QVERIFY(dynamic_cast<ProgramStyle*>(QApplication::style()));
}

void tst_ProgramStyle::cleanup()
{
    QCOMPARE(closeWindowsLeftOpen(), QStringList());
}

namespace {

QIcon twoSizes()
{
    QPixmap small(16, 16);
    small.fill(Qt::red);
    QPixmap large(32, 32);
    large.fill(Qt::blue);
    QIcon icon;
    icon.addPixmap(small);
    icon.addPixmap(large);
    return icon;
}

// The picture the platform style itself gives, which the program's must match.
QImage platformPicture(QStyle::StandardPixmap which, int edge)
{
    const auto* style = static_cast<QProxyStyle*>(QApplication::style());
    return style->baseStyle()->standardIcon(which).pixmap(edge).toImage();
}

QImage programPicture(QStyle::StandardPixmap which, int edge)
{
    return QApplication::style()->standardIcon(which).pixmap(edge).toImage();
}

} // namespace

void tst_ProgramStyle::aDeferredIconIsMadeOnceAndOnlyWhenAskedFor()
{
    int made = 0;
    const QIcon icon = DeferredIconEngine::icon([&made] {
        ++made;
        return twoSizes();
    });
    const QIcon copy = icon;
    QVERIFY(!copy.isNull());
    QCOMPARE(made, 0);

    QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
    QCOMPARE(icon.pixmap(QSize(32, 32)).toImage().pixelColor(5, 5), QColor(Qt::blue));
    QCOMPARE(icon.pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
    QCOMPARE(icon.actualSize(QSize(64, 64)), QSize(32, 32));
    QCOMPARE(made, 1);
}

void tst_ProgramStyle::aCopyMadeBeforeTheFirstUseMakesItsOwnPictures()
{
    int made = 0;
    QIcon icon = DeferredIconEngine::icon([&made] {
        ++made;
        return twoSizes();
    });
    QIcon copy = icon;
    // Adding to one copy detaches it, cloning the engine before anything was made.
    QPixmap extra(8, 8);
    extra.fill(Qt::green);
    copy.addPixmap(extra);
    QCOMPARE(icon.pixmap(QSize(16, 16)).toImage().pixelColor(1, 1), QColor(Qt::red));
    QCOMPARE(copy.pixmap(QSize(16, 16)).toImage().pixelColor(1, 1), QColor(Qt::red));
    QCOMPARE(made, 2);
}

void tst_ProgramStyle::theOverflowButtonShowsThePlatformStylesPicture_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("horizontal") << int(QStyle::SP_ToolBarHorizontalExtensionButton);
    QTest::newRow("vertical") << int(QStyle::SP_ToolBarVerticalExtensionButton);
}

void tst_ProgramStyle::theOverflowButtonShowsThePlatformStylesPicture()
{
    QFETCH(int, which);
    const auto pixmap = QStyle::StandardPixmap(which);
    const QImage expected = platformPicture(pixmap, 16);
    QVERIFY(!expected.isNull());
    QCOMPARE(programPicture(pixmap, 16), expected);
}

void tst_ProgramStyle::otherStandardIconsAreThePlatformStyles()
{
    for (const auto pixmap : {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxWarning,
                              QStyle::SP_MessageBoxQuestion})
        QCOMPARE(programPicture(pixmap, 32), platformPicture(pixmap, 32));
}

void tst_ProgramStyle::aMenuBarBuiltUnderItDrawsItsOverflowButton()
{
    // Far more menus than fit make the bar show its overflow button.
    QMenuBar bar;
    for (int i = 0; i < 20; ++i)
        bar.addMenu(QStringLiteral("Menu number %1").arg(i));
    bar.resize(120, bar.sizeHint().height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    auto* overflow = bar.findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
    QVERIFY(overflow);
    QTRY_VERIFY(overflow->isVisible());
    QCOMPARE(overflow->icon().pixmap(16).toImage(),
             platformPicture(QStyle::SP_ToolBarHorizontalExtensionButton, 16));
    bar.close();
}

QTEST_MAIN(tst_ProgramStyle)
#include "tst_ProgramStyle.moc"
