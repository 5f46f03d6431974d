#include "tally/NumberRules.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>

using namespace tally;

namespace {
constexpr double kNone = std::numeric_limits<double>::quiet_NaN(); // "no number"
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string_view view(const QByteArray& text)
{
    return std::string_view(text.constData(), std::size_t(text.size()));
}

QByteArray q(const std::string& text)
{
    return QByteArray::fromStdString(text);
}

// Bit for bit: the fuzzy QCOMPARE for doubles would hide the faults looked for.
bool same(double actual, double expected)
{
    if (std::isnan(expected))
        return std::isnan(actual);
    return actual == expected && std::signbit(actual) == std::signbit(expected);
}

double orNone(std::optional<double> value)
{
    return value.value_or(kNone);
}

#define COMPARE_BITS(actual, expected)                                                             \
    QVERIFY2(same(actual, expected), qPrintable(QString::number(actual, 'g', 17) +                 \
                                                " != " + QString::number(expected, 'g', 17)))

// A number as a person writes it, blanks around it allowed.
const QRegularExpression kNumber(QStringLiteral(
    "^[ \\t\\n\\r]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?[ \\t\\n\\r]*$"));
const QRegularExpression
    kLeading(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?"));
} // namespace

class TestNumberRules : public QObject
{
    Q_OBJECT

private slots:
    void textToNumber_data();
    void textToNumber();
    void numberToText_data();
    void numberToText();
    void randomTextsAgreeWithAPlainGrammar();
    void generalTextReadsBackAs15Digits();
    void halfACentRoundsUpFromTheDecimalWritten();
    void decimalCommaLocaleChangesNothing();
};

struct TextRow
{
    const char* text;
    double strict, leading, count; // kNone: no number
};
constexpr double kTiny = std::numeric_limits<double>::denorm_min();
const TextRow kTextRows[] = {
    {"0", 0, 0, 0},
    {"12", 12, 12, 12},
    {"007", 7, 7, 7},
    {"-3", -3, -3, 3},
    {"-0", -0.0, -0.0, 0},
    {"+5", 5, 5, 5},
    {"12.7", 12.7, 12.7, 12},
    {"-2.7", -2.7, -2.7, 2},
    {".5", 0.5, 0.5, 0},
    {"-.5", -0.5, -0.5, 0},
    {"5.", 5, 5, 5},
    {"1e3", 1000, 1000, 1000},
    {"1E+3", 1000, 1000, 1000},
    {"1e-3", 0.001, 0.001, 0},
    {"1.5e2", 150, 150, 150},
    {"1e9", 1e9, 1e9, 1e9},
    {" 5 ", 5, 5, 5},
    {"\t5\r\n", 5, 5, 5},
    {"1234567890123456", 1234567890123456, 1234567890123456, 1.23456789012346e15},
    {"999999999999999.9", 999999999999999.9, 999999999999999.9, 999999999999999},
    {"1e999", kInf, kInf, kInf},
    {"-1e999", -kInf, -kInf, kInf},
    {"1e-999", 0, 0, 0},
    {"-1e-999", -0.0, -0.0, 0},
    {"1.7976931348623159e308", kInf, kInf, kInf},
    {"0.1e309", 1e308, 1e308, 1e308},
    {"0.00000001e316", 1e308, 1e308, 1e308},
    {"000123e400", kInf, kInf, kInf},
    {"0.0001e400", kInf, kInf, kInf},
    {"1e99999999999999999999", kInf, kInf, kInf},
    {"10000e-330", 0, 0, 0},
    {"4.9e-324", kTiny, kTiny, 0},
    {"1 2", kNone, 12, kNone},
    {"- 3", kNone, -3, kNone},
    {"1 e 3", kNone, 1000, kNone},
    {"1\r2", kNone, 1, kNone},
    {"1e", kNone, 1, kNone},
    {"1e+", kNone, 1, kNone},
    {"1..2", kNone, 1, kNone},
    {"1.2.3", kNone, 1.2, kNone},
    {"1,5", kNone, 1, kNone},
    {"12abc", kNone, 12, kNone},
    {"1e5.5", kNone, 1e5, kNone},
    {"", kNone, 0, kNone},
    {" ", kNone, 0, kNone},
    {"-", kNone, 0, kNone},
    {"+", kNone, 0, kNone},
    {".", kNone, 0, kNone},
    {"e5", kNone, 0, kNone},
    {"--1", kNone, 0, kNone},
    {"$1.50", kNone, 0, kNone},
    {"0x10", kNone, 0, kNone},
    {"inf", kNone, 0, kNone},
    {"Overflow", kNone, 0, kNone}};

void TestNumberRules::textToNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("strict");
    QTest::addColumn<double>("leading");
    QTest::addColumn<double>("count");
    for (const TextRow& r : kTextRows)
        QTest::newRow(QByteArray(r.text).toPercentEncoding(" +-.e$,"))
            << QByteArray(r.text) << r.strict << r.leading << r.count;
}

void TestNumberRules::textToNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(double, strict);
    QFETCH(double, leading);
    QFETCH(double, count);
    COMPARE_BITS(orNone(strictNumber(view(text))), strict);
    COMPARE_BITS(leadingNumber(view(text)), leading);
    COMPARE_BITS(orNone(tally::count(view(text))), count);
    COMPARE_BITS(countOrZero(view(text)), std::isnan(count) ? 0.0 : count);
}

struct ValueRow
{
    double value;
    const char *general, *money, *share;
};
const ValueRow kValueRows[] = {
    {0, "0", "$0.00", "0.00%"},
    {-0.0, "0", "$0.00", "0.00%"},
    {3 * 0.01, "0.03", "$0.03", "3.00%"},
    {7 * 0.5, "3.5", "$3.50", "350.00%"},
    {1234, "1234", "$1234.00", "123400.00%"},
    {0.1 + 0.2, "0.3", "$0.30", "30.00%"},
    {1.0 / 3, "0.333333333333333", "$0.33", "33.33%"},
    {2.0 / 3, "0.666666666666667", "$0.67", "66.67%"},
    {1.0 / 32, "0.03125", "$0.03", "3.13%"},
    {0.285, "0.285", "$0.29", "28.50%"},
    {1.005, "1.005", "$1.01", "100.50%"},
    {0.994, "0.994", "$0.99", "99.40%"},
    {0.995, "0.995", "$1.00", "99.50%"},
    {0.99995, "0.99995", "$1.00", "100.00%"},
    {9.995, "9.995", "$10.00", "999.50%"},
    {0.005, "0.005", "$0.01", "0.50%"},
    {0.0049999, "0.0049999", "$0.00", "0.50%"},
    {-0.285, "-0.285", "-$0.29", "-28.50%"},
    {-0.00001, "-0.00001", "$0.00", "0.00%"},
    {12345678901234.5, "12345678901234.5", "$12345678901234.50", "1234567890123450.00%"},
    {999999999999999, "999999999999999", "$999999999999999.00", "99999999999999900.00%"},
    {999999999999999.9, "1E+15", "$1000000000000000.00", "100000000000000000.00%"},
    {1234567890123456, "1.23456789012346E+15", "$1234567890123460.00", "123456789012346000.00%"},
    {1e20, "1E+20", "$100000000000000000000.00", "10000000000000000000000.00%"},
    {1e-15, "0.000000000000001", "$0.00", "0.00%"},
    {1.5e-16, "1.5E-16", "$0.00", "0.00%"},
    {kInf, "Overflow", "Overflow", "Overflow"},
    {-kInf, "Overflow", "Overflow", "Overflow"},
    {kNone, "Overflow", "Overflow", "Overflow"}};

void TestNumberRules::numberToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("general");
    QTest::addColumn<QByteArray>("money");
    QTest::addColumn<QByteArray>("share");
    for (const ValueRow& r : kValueRows)
        QTest::newRow(QByteArray::number(r.value, 'g', 17).constData())
            << r.value << QByteArray(r.general) << QByteArray(r.money) << QByteArray(r.share);
}

void TestNumberRules::numberToText()
{
    QFETCH(double, value);
    QFETCH(QByteArray, general);
    QFETCH(QByteArray, money);
    QFETCH(QByteArray, share);
    QCOMPARE(q(generalNumberText(value)), general);
    QCOMPARE(q(moneyText(value)), money);
    QCOMPARE(q(shareText(value)), share);
}

void TestNumberRules::randomTextsAgreeWithAPlainGrammar()
{
    const QByteArray alphabet("0123456789000111.-+eE \t\nx$");
    QRandomGenerator random(42);
    int numbers = 0;
    for (int i = 0; i < 30000; ++i) {
        QByteArray text;
        for (int length = random.bounded(1, 9); length > 0; --length)
            text.append(alphabet.at(random.bounded(alphabet.size())));
        const std::optional<double> strict = strictNumber(view(text));
        QVERIFY2(strict.has_value() == kNumber.match(QString::fromLatin1(text)).hasMatch(),
                 text.constData());

        QByteArray compact = text;
        compact.replace(' ', "").replace('\t', "").replace('\n', "");
        const QString lead = kLeading.match(QString::fromLatin1(compact)).captured();
        bool ok = false;
        const double expected = lead.isEmpty() ? 0.0 : lead.toDouble(&ok);
        if (lead.isEmpty() || ok)
            COMPARE_BITS(leadingNumber(view(text)), expected);
        if (!strict)
            continue;
        ++numbers;
        bool inRange = false;
        const double number = text.trimmed().toDouble(&inRange);
        if (!inRange)
            continue; // Qt refuses what lies beyond the double range
        COMPARE_BITS(*strict, number);
        const double whole = std::floor(std::fabs(number));
        COMPARE_BITS(*tally::count(view(text)), QByteArray::number(whole, 'g', 15).toDouble());
    }
    QVERIFY(numbers > 3000);
}

void TestNumberRules::generalTextReadsBackAs15Digits()
{
    QRandomGenerator random(20240611);
    for (int i = 0; i < 20000; ++i) {
        const quint64 bits = random.generate64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        const QByteArray rounded = QByteArray::number(value, 'e', 14);
        const QByteArray text = q(generalNumberText(value));
        bool inRange = false;
        const double expected = rounded.toDouble(&inRange);
        if (inRange)
            COMPARE_BITS(orNone(strictNumber(view(text))), expected);
        const int decade = rounded.mid(rounded.indexOf('e') + 1).toInt();
        if (decade >= -15 && decade < 15)
            QVERIFY2(!text.contains('E'), text.constData());
        else
            QVERIFY2(
                QRegularExpression(QStringLiteral("^-?[1-9](\\.[0-9]*[1-9])?E[+-][1-9][0-9]*$"))
                    .match(QString::fromLatin1(text))
                    .hasMatch(),
                text.constData());
    }
}

void TestNumberRules::halfACentRoundsUpFromTheDecimalWritten()
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

void TestNumberRules::decimalCommaLocaleChangesNothing()
{
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        QSKIP("no de_DE.UTF-8 locale here (./dev.sh test makes one)");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    COMPARE_BITS(orNone(strictNumber("1.5")), 1.5);
    COMPARE_BITS(orNone(strictNumber("1,5")), kNone);
    COMPARE_BITS(leadingNumber("2,5"), 2.0);
    QCOMPARE(q(generalNumberText(1234.5)), "1234.5");
    QCOMPARE(q(moneyText(1234.5)), "$1234.50");
    QCOMPARE(q(shareText(0.125)), "12.50%");
    std::setlocale(LC_ALL, "C");
}

QTEST_APPLESS_MAIN(TestNumberRules)
#include "tst_NumberRules.moc"
