#include "support/Prerequisite.h"
#include "tally/FrameFigures.h"
#include "tally/NumberRules.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <cmath>

using namespace tally;

namespace {
constexpr double kNone = std::numeric_limits<double>::quiet_NaN(); // "no number"
constexpr double kInf = std::numeric_limits<double>::infinity();

// Bit for bit, sign of zero included, where the fuzzy QCOMPARE for doubles would
// hide the faults looked for: 17 digits tell any two doubles apart.
QString bits(double value)
{
    return (std::signbit(value) ? "-" : "+") + QString::number(std::abs(value), 'g', 17);
}
} // namespace

// Every test runs under a locale whose decimal separator is a comma, which the
// rules must never consult. Each text is read through a view that ends where the
// text does, in a buffer that goes on with digits: a rule reading past the end of
// what it was given finds a number there.
class TestTally : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ZOREDEV_REQUIRE(std::setlocale(LC_ALL, "de_DE.UTF-8") ||
                            std::setlocale(LC_ALL, "German_Germany.1252"), // Windows' name
                        "the rules are tried under de_DE.UTF-8, whose decimal point is a comma");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    // Number forms, blanks and stray characters, and the corners. The texts are the
    // strict number's: general, money, share. A carriage return is a blank around a
    // number but none inside it; a comma is no decimal separator.
    void numberRules_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("strict");
        QTest::addColumn<double>("leading");
        QTest::addColumn<double>("count");
        QTest::addColumn<QByteArray>("texts");
        const auto row = [](const char* text, double strict, double leading, double count,
                            const char* texts) {
            QTest::newRow(text) << QByteArray(text) << strict << leading << count
                                << QByteArray(texts);
        };
        row(" \t+7 \n", 7, 7, 7, "7 $7.00 700.00%");
        row("\r5\r", 5, 0, 5, "5 $5.00 500.00%");
        row("1,5", kNone, 1, kNone, "Overflow Overflow Overflow");
        row("-0", -0.0, -0.0, 0, "0 $0.00 0.00%");
        row("999999999999999.9", 999999999999999.9, 999999999999999.9, 999999999999999,
            "1E+15 $1000000000000000.00 100000000000000000.00%");
        // Beyond the double range: infinity of the sign, judged by the first digit however
        // many follow.
        const std::string wide = "-1" + std::string(400, '0') + "1e-2";
        row(wide.c_str(), -kInf, -kInf, kInf, "Overflow Overflow Overflow");
        row("0.1e-999", 0, 0, 0, "0 $0.00 0.00%");                // below it: zero
        row("-.", kNone, 0, kNone, "Overflow Overflow Overflow"); // a sign and a point, no digit
        // Halves round up from the decimal written, though 1.005 is a little less as a double.
        row("1.005", 1.005, 1.005, 1, "1.005 $1.01 100.50%");
        row("-0.285", -0.285, -0.285, 0, "-0.285 -$0.29 -28.50%");
        row("9.995", 9.995, 9.995, 9, "9.995 $10.00 999.50%");       // carried to a new digit
        row("19.995", 19.995, 19.995, 19, "19.995 $20.00 1999.50%"); // carried to the first
        row("0.005", 0.005, 0.005, 0, "0.005 $0.01 0.50%"); // rounded up from the first digit
        row("1e-15", 1e-15, 1e-15, 0, "0.000000000000001 $0.00 0.00%");
        row("-1.5E-16", -1.5e-16, -1.5e-16, 0, "-1.5E-16 $0.00 0.00%");
    }
    void numberRules()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, strict);
        QFETCH(double, leading);
        QFETCH(double, count);
        const QByteArray buffer = text + "99e9";
        const std::string_view in(buffer.constData(), std::size_t(text.size()));
        QCOMPARE(bits(strictNumber(in).value_or(kNone)), bits(strict));
        QCOMPARE(bits(leadingNumber(in)), bits(leading));
        QCOMPARE(bits(tally::count(in).value_or(kNone)), bits(count));
        QTEST(QByteArray::fromStdString(generalNumberText(strict) + ' ' + moneyText(strict) + ' ' +
                                        shareText(strict)),
              "texts");
    }
};

QTEST_APPLESS_MAIN(TestTally)
#include "tst_Tally.moc"
