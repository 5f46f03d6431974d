#include "tally/FrameFigures.h"
#include "tally/NumberRules.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <clocale>
#include <cmath>

using namespace tally;

namespace {
constexpr double kNone = std::numeric_limits<double>::quiet_NaN(); // "no number"
constexpr double kInf = std::numeric_limits<double>::infinity();

// A view that ends where the text does, in a buffer that goes on with digits: a rule
// reading past the end of what it was given finds a number there.
struct Bounded
{
    QByteArray buffer;
    std::string_view view;
    explicit Bounded(const QByteArray& text) : buffer(text + "99e9")
    {
        view = std::string_view(buffer.constData(), std::size_t(text.size()));
    }
};

QByteArray q(const std::string& text)
{
    return QByteArray::fromStdString(text);
}

// Bit for bit, sign of zero included: the fuzzy QCOMPARE for doubles would hide
// the faults looked for.
bool same(double actual, double expected)
{
    if (std::isnan(expected))
        return std::isnan(actual);
    return actual == expected && std::signbit(actual) == std::signbit(expected);
}

#define COMPARE_BITS(actual, expected)                                                             \
    QVERIFY2(same(actual, expected), qPrintable(QString::number(actual, 'g', 17) +                 \
                                                " != " + QString::number(expected, 'g', 17)))
} // namespace

// Every test runs under a locale whose decimal separator is a comma, which the
// rules must never consult.
class TestTally : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(std::setlocale(LC_ALL, "de_DE.UTF-8"), "no de_DE.UTF-8 locale: ./dev.sh test "
                                                        "makes one");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void textToNumber_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("strict");
        QTest::addColumn<double>("leading");
        QTest::addColumn<double>("count");
        const auto row = [](const char* text, double strict, double leading, double count) {
            QTest::newRow(QByteArray(text).toPercentEncoding(" +-.e$,"))
                << QByteArray(text) << strict << leading << count;
        };
        // Ordinary number forms are the random test's; these are the corners.
        row("-0", -0.0, -0.0, 0);
        row("-2.7", -2.7, -2.7, 2);
        row("\t5\r\n", 5, 5, 5);
        row("1234567890123456", 1234567890123456, 1234567890123456, 1.23456789012346e15);
        row("999999999999999.9", 999999999999999.9, 999999999999999.9, 999999999999999);
        // Beyond the double range: infinity of the sign, or zero below it.
        row("-1e999", -kInf, -kInf, kInf);
        row("-1e-999", -0.0, -0.0, 0);
        row("1.7976931348623159e308", kInf, kInf, kInf);
        row("0.00000001e316", 1e308, 1e308, 1e308);
        row("000123e400", kInf, kInf, kInf);
        row("0.0001e400", kInf, kInf, kInf);
        row("1e99999999999999999999", kInf, kInf, kInf);
        row("10000e-330", 0, 0, 0);
        row("4.9e-324", 4.9e-324, 4.9e-324, 0);
        row("1 e 3", kNone, 1000, kNone);
        row("1\r2", kNone, 1, kNone); // a carriage return is no blank inside a number
        row("1,5", kNone, 1, kNone);
        row("", kNone, 0, kNone);
        row("0x10", kNone, 0, kNone);
        row("inf", kNone, 0, kNone);
    }
    void textToNumber()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, strict);
        QFETCH(double, leading);
        QFETCH(double, count);
        const Bounded in(text);
        COMPARE_BITS(strictNumber(in.view).value_or(kNone), strict);
        COMPARE_BITS(leadingNumber(in.view), leading);
        COMPARE_BITS(tally::count(in.view).value_or(kNone), count);
        COMPARE_BITS(countOrZero(in.view), std::isnan(count) ? 0.0 : count);
    }

    void numberToText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("texts"); // general, money, share
        const auto row = [](double value, const char* texts) {
            QTest::newRow(QByteArray::number(value, 'g', 17)) << value << QByteArray(texts);
        };
        // Rounding at large is the half-cent test's; these are the forms.
        row(-0.0, "0 $0.00 0.00%");
        row(7 * 0.5, "3.5 $3.50 350.00%");
        row(1234.5, "1234.5 $1234.50 123450.00%");
        row(0.1 + 0.2, "0.3 $0.30 30.00%");
        row(2.0 / 3, "0.666666666666667 $0.67 66.67%");
        row(0.99995, "0.99995 $1.00 100.00%");
        row(-0.285, "-0.285 -$0.29 -28.50%");
        row(-0.00001, "-0.00001 $0.00 0.00%");
        row(999999999999999.9, "1E+15 $1000000000000000.00 100000000000000000.00%");
        row(1234567890123456, "1.23456789012346E+15 $1234567890123460.00 123456789012346000.00%");
        row(1e-15, "0.000000000000001 $0.00 0.00%");
        row(-1.5e-16, "-1.5E-16 $0.00 0.00%");
        row(1.23456e-18, "1.23456E-18 $0.00 0.00%");
        row(-1e20, "-1E+20 -$100000000000000000000.00 -10000000000000000000000.00%");
        row(-kInf, "Overflow Overflow Overflow");
        row(kNone, "Overflow Overflow Overflow");
    }
    void numberToText()
    {
        QFETCH(double, value);
        QTEST(q(generalNumberText(value) + ' ' + moneyText(value) + ' ' + shareText(value)),
              "texts");
    }

    // Random texts of number characters against a plain grammar and Qt's own parser.
    void randomTextsAgreeWithAPlainGrammar()
    {
        const QRegularExpression number("^[ \\t\\n\\r]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)"
                                        "([eE][+-]?[0-9]+)?[ \\t\\n\\r]*$");
        const QRegularExpression leading("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?");
        const QByteArray alphabet("0123456789000111.-+eE \t\nx$");
        QRandomGenerator random(42);
        int numbers = 0;
        for (int i = 0; i < 30000; ++i) {
            QByteArray text;
            for (int length = random.bounded(1, 9); length > 0; --length)
                text.append(alphabet.at(random.bounded(alphabet.size())));
            const Bounded in(text);
            const std::optional<double> strict = strictNumber(in.view);
            QVERIFY2(strict.has_value() == number.match(QString::fromLatin1(text)).hasMatch(),
                     text.constData());
            QByteArray compact = text;
            compact.replace(' ', "").replace('\t', "").replace('\n', "");
            const QString lead = leading.match(QString::fromLatin1(compact)).captured();
            bool ok = false;
            const double expected = lead.isEmpty() ? 0.0 : lead.toDouble(&ok);
            if (lead.isEmpty() || ok)
                COMPARE_BITS(leadingNumber(in.view), expected);
            const double value = text.trimmed().toDouble(&ok);
            if (!strict || !ok)
                continue; // Qt refuses what lies beyond the double range
            ++numbers;
            COMPARE_BITS(*strict, value);
            COMPARE_BITS(*tally::count(in.view),
                         QByteArray::number(std::floor(std::fabs(value)), 'g', 15).toDouble());
        }
        QVERIFY(numbers > 3000);
    }

    void halfACentRoundsUpFromTheDecimalWritten()
    {
        // k thousandths is almost never exactly k/1000 as a double, yet each ending in
        // 5 must round up, as the person who wrote it would.
        QRandomGenerator random(7);
        for (int i = 0; i < 40000; ++i) {
            const qint64 k = i < 20000 ? i : qint64(random.bounded(1e12));
            const qint64 cents = (k + 5) / 10;
            const QByteArray expected = QByteArray::number(cents / 100) + '.' +
                                        QByteArray::number(cents % 100).rightJustified(2, '0');
            QCOMPARE(q(moneyText(double(k) / 1000)), '$' + expected);
            if (k <= 1'000'000'000)
                QCOMPARE(q(shareText(double(k) / 100000)), expected + '%');
        }
    }

    // Six count texts in; the face values, coin total, shares and total face value out.
    void figuresOfSixCounts_data()
    {
        QTest::addColumn<QString>("counts");
        QTest::addColumn<QString>("figures");
        const auto row = [](const char* counts, const char* figures) {
            QTest::newRow(counts) << QString(counts) << QString(figures);
        };
        const char* const zeros = "$0.00 $0.00 $0.00 $0.00 $0.00 $0.00 0 0.00% 0.00% 0.00% 0.00% "
                                  "0.00% 0.00% $0.00";
        row("0|0|0|0|0|0", zeros);
        row("0|0|0|2|0|1", "$0.00 $0.00 $0.00 $0.20 $0.00 $0.01 3 0.00% 0.00% 0.00% 66.67% 0.00% "
                           "33.33% $0.21");
        row("1|1|1|1|1|1", "$1.00 $0.50 $0.25 $0.10 $0.05 $0.01 6 16.67% 16.67% 16.67% 16.67% "
                           "16.67% 16.67% $1.91");
        row("1234|7|0|0|0|0", "$1234.00 $3.50 $0.00 $0.00 $0.00 $0.00 1241 99.44% 0.56% 0.00% "
                              "0.00% 0.00% 0.00% $1237.50");
        row("0|0|-5|2.9|0|1e3", "$0.00 $0.00 $1.25 $0.20 $0.00 $10.00 1007 0.00% 0.00% 0.50% "
                                "0.20% 0.00% 99.30% $11.45");
        row("0|0|0|1|31|0", "$0.00 $0.00 $0.00 $0.10 $1.55 $0.00 32 0.00% 0.00% 0.00% 3.13% "
                            "96.88% 0.00% $1.65");
        row("x|| |-|.|5", "$0.00 $0.00 $0.00 $0.00 $0.00 $0.05 5 0.00% 0.00% 0.00% 0.00% 0.00% "
                          "100.00% $0.05");
        // Shares divide by the 15-digit caption of the total, not by the exact sum.
        row("1e15|0|0|0|0|1", "$1000000000000000.00 $0.00 $0.00 $0.00 $0.00 $0.01 1E+15 100.00% "
                              "0.00% 0.00% 0.00% 0.00% 0.00% $1000000000000000.00");
    }
    void figuresOfSixCounts()
    {
        QFETCH(QString, counts);
        PerDenomination<std::string> texts;
        for (std::size_t i = 0; i < texts.size(); ++i)
            texts[i] = counts.section('|', int(i), int(i)).toStdString();
        const FrameFigures figures = FrameFigures::of(texts);
        std::string line;
        for (const std::string& text : figures.faceValues)
            line += text + ' ';
        line += figures.coinTotal;
        for (const std::string& text : figures.shares)
            line += ' ' + text;
        QTEST(QString::fromStdString(line + ' ' + figures.totalFaceValue), "figures");
    }

    // A coin total past the double range has no share to show; the total face value
    // reads the captions shown; Log Finds takes an entry's whole part.
    void overflowTotalAndEntries()
    {
        const FrameFigures huge = FrameFigures::of({"1e308", "1e308", "0", "0", "0", "0"});
        QCOMPARE(huge.coinTotal + ' ' + huge.shares[0] + ' ' + huge.shares[2],
                 "Overflow Overflow 0.00%");
        QCOMPARE(totalFaceValueText({"$1.25", "$0.50", "", "$0.10", "#2", "$0.01"}), "$3.86");
        QCOMPARE(totalFaceValueText({"$1.25", "Overflow", "$0", "$0", "$0", "$0"}), "Overflow");
        QCOMPARE(normalisedEntry("-2.5"), -3.0);
        QCOMPARE(normalisedEntry("1234567890123456"), 1.23456789012346e15);
        QCOMPARE(normalisedEntry("x1"), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestTally)
#include "tst_Tally.moc"
