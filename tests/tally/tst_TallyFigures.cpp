#include "tally/NumberRules.h"
#include "tally/TallyFigures.h"
#include "tally/TallyTestSupport.h"

#include <QTest>

#include <cfloat>
#include <limits>

using namespace tally;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const QByteArrayList kZeroShares{"0.00%", "0.00%", "0.00%", "0.00%", "0.00%", "0.00%"};
const QByteArrayList kZeroMoney{"$0.00", "$0.00", "$0.00", "$0.00", "$0.00", "$0.00"};

// A list of six with one entry replaced per pair, walk order (dollar coins = 0).
QByteArrayList with(QByteArrayList six, std::initializer_list<std::pair<int, QByteArray>> changes)
{
    for (const auto& [index, text] : changes)
        six[index] = text;
    return six;
}

QByteArrayList counts(std::initializer_list<std::pair<int, QByteArray>> changes)
{
    return with({"0", "0", "0", "0", "0", "0"}, changes);
}

Captions captionsOf(const QByteArrayList& six)
{
    Captions captions;
    for (std::size_t i = 0; i < captions.size(); ++i)
        captions[i] = view(six.at(static_cast<qsizetype>(i)));
    return captions;
}

// Every figure of one frame, worked out from its six count texts in the order the
// window's handlers write them: face values, coin total, shares from the coin-total
// caption just written, and the total face value from the face-value captions.
struct FrameFigures
{
    QByteArrayList faceValues;
    QByteArray coinTotal;
    QByteArrayList shares;
    QByteArray totalFaceValue;
};

FrameFigures figuresOf(const QByteArrayList& countTexts)
{
    FrameFigures frame;
    Counts values{};
    for (std::size_t i = 0; i < kDenominationCount; ++i) {
        values[i] = countOrZero(view(countTexts.at(static_cast<qsizetype>(i))));
        frame.faceValues << bytes(moneyText(kDenominations[i].faceValueOf(values[i])));
    }
    frame.coinTotal = bytes(generalNumberText(coinTotal(values)));
    for (const double value : values)
        frame.shares << bytes(shareText(share(value, view(frame.coinTotal))));
    frame.totalFaceValue = bytes(moneyText(totalFaceValue(captionsOf(frame.faceValues))));
    return frame;
}

} // namespace

class TestTallyFigures : public QObject
{
    Q_OBJECT

private slots:
    void faceValue_data();
    void faceValue();
    void coinTotal_data();
    void coinTotal();
    void share_data();
    void share();
    void totalFaceValue_data();
    void totalFaceValue();
    void frame_data();
    void frame();
};

void TestTallyFigures::faceValue_data()
{
    QTest::addColumn<int>("denomination");
    QTest::addColumn<double>("count");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("no dollar coins") << 0 << 0.0 << QByteArray("$0.00");
    QTest::newRow("7 dollar coins") << 0 << 7.0 << QByteArray("$7.00");
    QTest::newRow("1234 dollar coins") << 0 << 1234.0 << QByteArray("$1234.00");
    QTest::newRow("1E+15 dollar coins") << 0 << 1e15 << QByteArray("$1000000000000000.00");
    QTest::newRow("7 half dollars") << 1 << 7.0 << QByteArray("$3.50");
    QTest::newRow("1 half dollar") << 1 << 1.0 << QByteArray("$0.50");
    QTest::newRow("3 quarters") << 2 << 3.0 << QByteArray("$0.75");
    QTest::newRow("99 quarters") << 2 << 99.0 << QByteArray("$24.75");
    QTest::newRow("2 dimes") << 3 << 2.0 << QByteArray("$0.20");
    QTest::newRow("3 dimes") << 3 << 3.0 << QByteArray("$0.30");
    QTest::newRow("1E+15 dimes") << 3 << 1e15 << QByteArray("$100000000000000.00");
    QTest::newRow("2 nickels") << 4 << 2.0 << QByteArray("$0.10");
    QTest::newRow("99 nickels") << 4 << 99.0 << QByteArray("$4.95");
    QTest::newRow("3 pennies") << 5 << 3.0 << QByteArray("$0.03");
    QTest::newRow("29 pennies") << 5 << 29.0 << QByteArray("$0.29");
    QTest::newRow("999 pennies") << 5 << 999.0 << QByteArray("$9.99");
    QTest::newRow("1005 pennies") << 5 << 1005.0 << QByteArray("$10.05");
    QTest::newRow("1E+9 pennies") << 5 << 1e9 << QByteArray("$10000000.00");
    QTest::newRow("overflowing dollar coins") << 0 << kInf << QByteArray("Overflow");
    QTest::newRow("overflowing pennies") << 5 << kInf << QByteArray("Overflow");
}

void TestTallyFigures::faceValue()
{
    QFETCH(int, denomination);
    QFETCH(double, count);
    QFETCH(QByteArray, text);

    QCOMPARE(bytes(moneyText(kDenominations.at(denomination).faceValueOf(count))), text);
}

void TestTallyFigures::coinTotal_data()
{
    QTest::addColumn<double>("dollars");
    QTest::addColumn<double>("halves");
    QTest::addColumn<double>("quarters");
    QTest::addColumn<double>("dimes");
    QTest::addColumn<double>("nickels");
    QTest::addColumn<double>("pennies");
    QTest::addColumn<double>("total");
    QTest::addColumn<QByteArray>("caption");

    QTest::newRow("all zero") << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << QByteArray("0");
    QTest::newRow("one of each") << 1.0 << 1.0 << 1.0 << 1.0 << 1.0 << 1.0 << 6.0
                                 << QByteArray("6");
    QTest::newRow("penny and two dimes")
        << 0.0 << 0.0 << 0.0 << 2.0 << 0.0 << 1.0 << 3.0 << QByteArray("3");
    QTest::newRow("1E+15") << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 1e15 << 1e15
                           << QByteArray("1E+15");
    QTest::newRow("just under 1E+15") << 999999999999990.0 << 0.0 << 0.0 << 0.0 << 0.0 << 9.0
                                      << 999999999999999.0 << QByteArray("999999999999999");
    QTest::newRow("16 digits") << 1e15 << 0.0 << 0.0 << 0.0 << 0.0 << 234567890123456.0
                               << 1234567890123456.0 << QByteArray("1.23456789012346E+15");
    // Beyond 2^53 an added 1 may vanish: only the walk order decides what remains.
    QTest::newRow("large dollar count absorbs the rest")
        << 1e16 << 1.0 << 1.0 << 1.0 << 1.0 << 1.0 << 1e16 << QByteArray("1E+16");
    QTest::newRow("large penny count takes the rest")
        << 1.0 << 1.0 << 1.0 << 1.0 << 1.0 << 1e16 << 10000000000000004.0 << QByteArray("1E+16");
    QTest::newRow("sum beyond the double range")
        << DBL_MAX << DBL_MAX << 0.0 << 0.0 << 0.0 << 0.0 << kInf << QByteArray("Overflow");
    QTest::newRow("overflowing count")
        << 0.0 << 0.0 << kInf << 0.0 << 0.0 << 1.0 << kInf << QByteArray("Overflow");
}

void TestTallyFigures::coinTotal()
{
    QFETCH(double, dollars);
    QFETCH(double, halves);
    QFETCH(double, quarters);
    QFETCH(double, dimes);
    QFETCH(double, nickels);
    QFETCH(double, pennies);
    QFETCH(double, total);
    QFETCH(QByteArray, caption);

    const double sum = tally::coinTotal({dollars, halves, quarters, dimes, nickels, pennies});
    COMPARE_DOUBLE(sum, total);
    QCOMPARE(bytes(generalNumberText(sum)), caption);
}

void TestTallyFigures::share_data()
{
    QTest::addColumn<double>("count");
    QTest::addColumn<QByteArray>("coinTotalCaption");
    QTest::addColumn<double>("share");
    QTest::addColumn<QByteArray>("text");

    const auto row = [](const char* name, double count, const char* caption, double share,
                        const char* text) {
        QTest::newRow(name) << count << QByteArray(caption) << share << QByteArray(text);
    };
    row("zero of zero", 0, "0", 0, "0.00%");
    row("zero of three", 0, "3", 0, "0.00%");
    row("zero never reads the caption", 0, "Overflow", 0, "0.00%");
    row("zero of an empty caption", 0, "", 0, "0.00%");
    row("all", 5, "5", 1, "100.00%");
    row("one of three", 1, "3", 1.0 / 3, "33.33%");
    row("two of three", 2, "3", 2.0 / 3, "66.67%");
    row("one of six", 1, "6", 1.0 / 6, "16.67%");
    row("13 of 15", 13, "15", 13.0 / 15, "86.67%");
    row("2 of 15", 2, "15", 2.0 / 15, "13.33%");
    row("3 of 5", 3, "5", 0.6, "60.00%");
    row("one of 32", 1, "32", 1.0 / 32, "3.13%");
    row("31 of 32", 31, "32", 31.0 / 32, "96.88%");
    row("1E+15 of 1E+15", 1e15, "1E+15", 1, "100.00%");
    row("one of 1E+15", 1, "1E+15", 1e-15, "0.00%");
    row("caption rounded to 15 digits", 1234567890123456, "1.23456789012346E+15",
        1234567890123456 / 1.23456789012346e15, "100.00%");
    row("caption with blanks around", 1, " 4 ", 0.25, "25.00%");
    row("caption that is no number", 1, "Overflow", kNaN, "Overflow");
    row("empty caption", 1, "", kNaN, "Overflow");
    row("caption beyond the double range", 1, "1.79769313486232E+308", kNaN, "Overflow");
    row("overflowing count", kInf, "Overflow", kNaN, "Overflow");
    row("zero total caption", 1, "0", kInf, "Overflow");
}

void TestTallyFigures::share()
{
    QFETCH(double, count);
    QFETCH(QByteArray, coinTotalCaption);
    QFETCH(double, share);
    QFETCH(QByteArray, text);

    const double value = tally::share(count, view(coinTotalCaption));
    COMPARE_DOUBLE(value, share);
    QCOMPARE(bytes(shareText(value)), text);
}

void TestTallyFigures::totalFaceValue_data()
{
    QTest::addColumn<QByteArrayList>("captions");
    QTest::addColumn<double>("total");
    QTest::addColumn<QByteArray>("text");

    const QByteArray largest = '$' + QByteArray::number(1e308, 'f', 2);
    QTest::newRow("all zero") << kZeroMoney << 0.0 << QByteArray("$0.00");
    QTest::newRow("three pennies and two dimes") << with(kZeroMoney, {{3, "$0.20"}, {5, "$0.03"}})
                                                 << 0.0 + 0.2 + 0.03 << QByteArray("$0.23");
    QTest::newRow("one of each") << QByteArrayList{"$1.00", "$0.50", "$0.25",
                                                   "$0.10", "$0.05", "$0.01"}
                                 << 1.0 + 0.5 + 0.25 + 0.1 + 0.05 + 0.01 << QByteArray("$1.91");
    QTest::newRow("penny and two dimes")
        << with(kZeroMoney, {{3, "$0.20"}, {5, "$0.01"}}) << 0.2 + 0.01 << QByteArray("$0.21");
    QTest::newRow("29 and 1 cents")
        << with(kZeroMoney, {{4, "$0.29"}, {5, "$0.01"}}) << 0.29 + 0.01 << QByteArray("$0.30");
    QTest::newRow("no digit grouping")
        << with(kZeroMoney, {{0, "$1234.00"}, {1, "$3.50"}}) << 1237.5 << QByteArray("$1237.50");
    QTest::newRow("large dollar value first")
        << QByteArrayList{"$10000000000000000.00", "$1.00", "$1.00", "$1.00", "$1.00", "$1.00"}
        << 1e16 << QByteArray("$10000000000000000.00");
    QTest::newRow("large penny value last")
        << QByteArrayList{"$1.00", "$1.00", "$1.00", "$1.00", "$1.00", "$10000000000000000.00"}
        << 10000000000000004.0 << QByteArray("$10000000000000000.00");
    QTest::newRow("empty caption counts nothing")
        << with(kZeroMoney, {{1, ""}, {2, "$0.25"}}) << 0.25 << QByteArray("$0.25");
    QTest::newRow("lone dollar sign counts nothing")
        << with(kZeroMoney, {{1, "$"}, {2, "$0.25"}}) << 0.25 << QByteArray("$0.25");
    QTest::newRow("first character dropped whatever it is")
        << with(kZeroMoney, {{0, "19.50"}}) << 9.5 << QByteArray("$9.50");
    QTest::newRow("overflow caption first")
        << with(kZeroMoney, {{0, "Overflow"}}) << kInf << QByteArray("Overflow");
    QTest::newRow("overflow caption last")
        << with(kZeroMoney, {{0, "$5.00"}, {5, "Overflow"}}) << kInf << QByteArray("Overflow");
    QTest::newRow("sum beyond the double range")
        << with(kZeroMoney, {{0, largest}, {1, largest}}) << kInf << QByteArray("Overflow");
}

void TestTallyFigures::totalFaceValue()
{
    QFETCH(QByteArrayList, captions);
    QFETCH(double, total);
    QFETCH(QByteArray, text);

    const double sum = tally::totalFaceValue(captionsOf(captions));
    COMPARE_DOUBLE(sum, total);
    QCOMPARE(bytes(moneyText(sum)), text);
}

void TestTallyFigures::frame_data()
{
    QTest::addColumn<QByteArrayList>("countTexts");
    QTest::addColumn<QByteArrayList>("faceValues");
    QTest::addColumn<QByteArray>("coinTotal");
    QTest::addColumn<QByteArrayList>("shares");
    QTest::addColumn<QByteArray>("totalFaceValue");

    QTest::newRow("all zero") << counts({}) << kZeroMoney << QByteArray("0") << kZeroShares
                              << QByteArray("$0.00");
    QTest::newRow("one penny, two dimes")
        << counts({{3, "2"}, {5, "1"}}) << with(kZeroMoney, {{3, "$0.20"}, {5, "$0.01"}})
        << QByteArray("3") << with(kZeroShares, {{3, "66.67%"}, {5, "33.33%"}})
        << QByteArray("$0.21");
    QTest::newRow("three pennies, two dimes")
        << counts({{3, "2"}, {5, "3"}}) << with(kZeroMoney, {{3, "$0.20"}, {5, "$0.03"}})
        << QByteArray("5") << with(kZeroShares, {{3, "40.00%"}, {5, "60.00%"}})
        << QByteArray("$0.23");
    QTest::newRow("13 pennies, two dimes")
        << counts({{3, "2"}, {5, "13"}}) << with(kZeroMoney, {{3, "$0.20"}, {5, "$0.13"}})
        << QByteArray("15") << with(kZeroShares, {{3, "13.33%"}, {5, "86.67%"}})
        << QByteArray("$0.33");
    QTest::newRow("one of each") << QByteArrayList{"1", "1", "1", "1", "1", "1"}
                                 << QByteArrayList{"$1.00", "$0.50", "$0.25",
                                                   "$0.10", "$0.05", "$0.01"}
                                 << QByteArray("6") << QByteArrayList{"16.67%", "16.67%", "16.67%",
                                                                      "16.67%", "16.67%", "16.67%"}
                                 << QByteArray("$1.91");
    QTest::newRow("five pennies") << counts({{5, "5"}}) << with(kZeroMoney, {{5, "$0.05"}})
                                  << QByteArray("5") << with(kZeroShares, {{5, "100.00%"}})
                                  << QByteArray("$0.05");
    QTest::newRow("7 half dollars")
        << counts({{1, "7"}}) << with(kZeroMoney, {{1, "$3.50"}}) << QByteArray("7")
        << with(kZeroShares, {{1, "100.00%"}}) << QByteArray("$3.50");
    QTest::newRow("7 dollar coins")
        << counts({{0, "7"}}) << with(kZeroMoney, {{0, "$7.00"}}) << QByteArray("7")
        << with(kZeroShares, {{0, "100.00%"}}) << QByteArray("$7.00");
    QTest::newRow("1234 dollar coins")
        << counts({{0, "1234"}}) << with(kZeroMoney, {{0, "$1234.00"}}) << QByteArray("1234")
        << with(kZeroShares, {{0, "100.00%"}}) << QByteArray("$1234.00");
    QTest::newRow("one penny in 32")
        << counts({{3, "31"}, {5, "1"}}) << with(kZeroMoney, {{3, "$3.10"}, {5, "$0.01"}})
        << QByteArray("32") << with(kZeroShares, {{3, "96.88%"}, {5, "3.13%"}})
        << QByteArray("$3.11");
    QTest::newRow("minus sign and fraction ignored")
        << counts({{2, "-3"}, {4, "2.9"}}) << with(kZeroMoney, {{2, "$0.75"}, {4, "$0.10"}})
        << QByteArray("5") << with(kZeroShares, {{2, "60.00%"}, {4, "40.00%"}})
        << QByteArray("$0.85");
    QTest::newRow("nickels 2.7, pennies -5")
        << counts({{4, "2.7"}, {5, "-5"}}) << with(kZeroMoney, {{4, "$0.10"}, {5, "$0.05"}})
        << QByteArray("7") << with(kZeroShares, {{4, "28.57%"}, {5, "71.43%"}})
        << QByteArray("$0.15");
    QTest::newRow("1e9 pennies") << counts({{5, "1e9"}}) << with(kZeroMoney, {{5, "$10000000.00"}})
                                 << QByteArray("1000000000") << with(kZeroShares, {{5, "100.00%"}})
                                 << QByteArray("$10000000.00");
    QTest::newRow("1E+15 dollar coins")
        << counts({{0, "1e15"}}) << with(kZeroMoney, {{0, "$1000000000000000.00"}})
        << QByteArray("1E+15") << with(kZeroShares, {{0, "100.00%"}})
        << QByteArray("$1000000000000000.00");
    QTest::newRow("1E+15 pennies and a dime")
        << counts({{3, "1"}, {5, "1E+15"}})
        << with(kZeroMoney, {{3, "$0.10"}, {5, "$10000000000000.00"}}) << QByteArray("1E+15")
        << with(kZeroShares, {{3, "0.00%"}, {5, "100.00%"}}) << QByteArray("$10000000000000.10");
    QTest::newRow("texts without a count count 0")
        << counts({{0, "abc"}, {1, ""}, {2, "-"}, {3, "2"}, {4, " "}, {5, "1,5"}})
        << with(kZeroMoney, {{3, "$0.20"}}) << QByteArray("2")
        << with(kZeroShares, {{3, "100.00%"}}) << QByteArray("$0.20");
    QTest::newRow("count beyond the double range")
        << counts({{0, "1e999"}, {5, "3"}}) << with(kZeroMoney, {{0, "Overflow"}, {5, "$0.03"}})
        << QByteArray("Overflow") << with(kZeroShares, {{0, "Overflow"}, {5, "Overflow"}})
        << QByteArray("Overflow");
}

void TestTallyFigures::frame()
{
    QFETCH(QByteArrayList, countTexts);
    QFETCH(QByteArrayList, faceValues);
    QFETCH(QByteArray, coinTotal);
    QFETCH(QByteArrayList, shares);
    QFETCH(QByteArray, totalFaceValue);

    const FrameFigures figures = figuresOf(countTexts);
    QCOMPARE(figures.faceValues, faceValues);
    QCOMPARE(figures.coinTotal, coinTotal);
    QCOMPARE(figures.shares, shares);
    QCOMPARE(figures.totalFaceValue, totalFaceValue);
}

QTEST_APPLESS_MAIN(TestTallyFigures)
#include "tst_TallyFigures.moc"
