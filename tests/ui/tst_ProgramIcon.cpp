#include "ui/ProgramIcon.h"

#include <QApplication>
#include <QPixmap>
#include <QTest>

class tst_ProgramIcon : public QObject
{
    Q_OBJECT
private slots:
    void bothImagesAreCompiledIn();
    void eachSizeIsDrawnAtItsOwnSize_data();
    void eachSizeIsDrawnAtItsOwnSize();
};

void tst_ProgramIcon::bothImagesAreCompiledIn()
{
    const QIcon icon = ProgramIcon::icon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
}

void tst_ProgramIcon::eachSizeIsDrawnAtItsOwnSize_data()
{
    QTest::addColumn<int>("edge");
    QTest::newRow("16") << 16;
    QTest::newRow("32") << 32;
}

void tst_ProgramIcon::eachSizeIsDrawnAtItsOwnSize()
{
    QFETCH(int, edge);
    const QString path = QStringLiteral(":/icons/zoredev-%1.png").arg(edge);
    const QPixmap image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(edge, edge));

    const QPixmap drawn = ProgramIcon::icon().pixmap(QSize(edge, edge));
    QVERIFY(!drawn.isNull());
    QCOMPARE(drawn.size(), QSize(edge, edge));
    QCOMPARE(drawn.toImage(), image.toImage());
}

QTEST_MAIN(tst_ProgramIcon)
#include "tst_ProgramIcon.moc"
