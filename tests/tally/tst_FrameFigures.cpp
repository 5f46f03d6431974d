#include "tally/FrameFigures.h"

#include <QStringList>
#include <QTest>

using namespace tally;

namespace {
QStringList list(const PerDenomination<std::string>& texts)
{
    QStringList out;
    for (const std::string& text : texts)
        out << QString::fromStdString(text);
    return out;
}
} // namespace

class TestFrameFigures : public QObject
{
    Q_OBJECT

private slots:
    void figuresOfSixCounts_data();
    void figuresOfSixCounts();
    void totalFaceValueReadsTheCaptions();
    void normalisedEntryKeepsTheSign();
};

void TestFrameFigures::figuresOfSixCounts_data()
{
    QTest::addColumn<QStringList>("counts");
    QTest::addColumn<QStringList>("faceValues");
    QTest::addColumn<QString>("coinTotal");
    QTest::addColumn<QStringList>("shares");
    QTest::addColumn<QString>("totalFaceValue");
    const QString z = "$0.00", p = "0.00%";
    QTest::newRow("all zero") << QStringList(6, "0") << QStringList(6, z) << "0"
                              << QStringList(6, p) << z;
    QTest::newRow("penny and two dimes")
        << QStringList{"0", "0", "0", "2", "0", "1"} << QStringList{z, z, z, "$0.20", z, "$0.01"}
        << "3" << QStringList{p, p, p, "66.67%", p, "33.33%"} << "$0.21";
    QTest::newRow("one of each") << QStringList(6, "1") << QStringList{"$1.00", "$0.50", "$0.25",
                                                                       "$0.10", "$0.05", "$0.01"}
                                 << "6" << QStringList(6, "16.67%") << "$1.91";
    QTest::newRow("dollar coins are their own face value")
        << QStringList{"1234", "7", "0", "0", "0", "0"}
        << QStringList{"$1234.00", "$3.50", z, z, z, z} << "1241"
        << QStringList{"99.44%", "0.56%", p, p, p, p} << "$1237.50";
    QTest::newRow("sign and fraction dropped")
        << QStringList{"0", "0", "-5", "2.9", "0", "1e3"}
        << QStringList{z, z, "$1.25", "$0.20", z, "$10.00"} << "1007"
        << QStringList{p, p, "0.50%", "0.20%", p, "99.30%"} << "$11.45";
    QTest::newRow("one in 32 rounds up")
        << QStringList{"0", "0", "0", "1", "31", "0"} << QStringList{z, z, z, "$0.10", "$1.55", z}
        << "32" << QStringList{p, p, p, "3.13%", "96.88%", p} << "$1.65";
    QTest::newRow("not a number counts as 0")
        << QStringList{"x", "", " ", "-", ".", "5"} << QStringList{z, z, z, z, z, "$0.05"} << "5"
        << QStringList{p, p, p, p, p, "100.00%"} << "$0.05";
    // Shares divide by the 15-digit caption, not by the exact sum.
    QTest::newRow("past 1E+15") << QStringList{"1e15", "0", "0", "0", "0", "1"}
                                << QStringList{"$1000000000000000.00", z, z, z, z, "$0.01"}
                                << "1E+15" << QStringList{"100.00%", p, p, p, p, "0.00%"}
                                << "$1000000000000000.00";
    const auto dollars = [](const char* digits, int zeros) {
        return "$" + QString::fromLatin1(digits) + QString(zeros, '0') + ".00";
    };
    QTest::newRow("coin total past the double range")
        << QStringList{"1e308", "1e308", "0", "0", "0", "0"}
        << QStringList{dollars("1", 308), dollars("5", 307), z, z, z, z} << "Overflow"
        << QStringList{"Overflow", "Overflow", p, p, p, p} << dollars("15", 307);
}

void TestFrameFigures::figuresOfSixCounts()
{
    QFETCH(QStringList, counts);
    PerDenomination<std::string> texts;
    PerDenomination<std::string_view> views;
    for (std::size_t i = 0; i < texts.size(); ++i)
        views[i] = texts[i] = counts[int(i)].toStdString();
    const FrameFigures figures = FrameFigures::of(views);
    QTEST(list(figures.faceValues), "faceValues");
    QTEST(QString::fromStdString(figures.coinTotal), "coinTotal");
    QTEST(list(figures.shares), "shares");
    QTEST(QString::fromStdString(figures.totalFaceValue), "totalFaceValue");
}

void TestFrameFigures::totalFaceValueReadsTheCaptions()
{
    QCOMPARE(totalFaceValueText({"$1.25", "$0.50", "", "$0.10", "#2", "$0.01"}), "$3.86");
    QCOMPARE(totalFaceValueText({"$1.25", "Overflow", "$0", "$0", "$0", "$0"}), "Overflow");
}

void TestFrameFigures::normalisedEntryKeepsTheSign()
{
    QCOMPARE(normalisedEntry("2.7"), 2.0);
    QCOMPARE(normalisedEntry("-2.5"), -3.0);
    QCOMPARE(normalisedEntry("1e3"), 1000.0);
    QCOMPARE(normalisedEntry("1234567890123456"), 1.23456789012346e15);
    QCOMPARE(normalisedEntry("x1"), std::nullopt);
}

QTEST_APPLESS_MAIN(TestFrameFigures)
#include "tst_FrameFigures.moc"
