#include "tally/NumberRules.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <clocale>
#include <cmath>
#include <cstring>

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
class TestNumberRules : public QObject
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
        row("0", 0, 0, 0);
        row("007", 7, 7, 7);
        row("-3", -3, -3, 3);
        row("-0", -0.0, -0.0, 0);
        row("+5", 5, 5, 5);
        row("12.7", 12.7, 12.7, 12);
        row("-2.7", -2.7, -2.7, 2);
        row("-.5", -0.5, -0.5, 0);
        row("5.", 5, 5, 5);
        row("1E+3", 1000, 1000, 1000);
        row("1e-3", 0.001, 0.001, 0);
        row("1.5e2", 150, 150, 150);
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
        row("1\r2", kNone, 1, kNone);
        row("1e+", kNone, 1, kNone);
        row("1.2.3", kNone, 1.2, kNone);
        row("1,5", kNone, 1, kNone);
        row("1e5.5", kNone, 1e5, kNone);
        row("", kNone, 0, kNone);
        row(" ", kNone, 0, kNone);
        row("-", kNone, 0, kNone);
        row(".", kNone, 0, kNone);
        row("e5", kNone, 0, kNone);
        row("--1", kNone, 0, kNone);
        row("$1.50", kNone, 0, kNone);
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
        row(0, "0 $0.00 0.00%");
        row(-0.0, "0 $0.00 0.00%");
        row(3 * 0.01, "0.03 $0.03 3.00%");
        row(7 * 0.5, "3.5 $3.50 350.00%");
        row(1234, "1234 $1234.00 123400.00%");
        row(0.1 + 0.2, "0.3 $0.30 30.00%");
        row(2.0 / 3, "0.666666666666667 $0.67 66.67%");
        row(1.0 / 32, "0.03125 $0.03 3.13%");
        row(1.005, "1.005 $1.01 100.50%");
        row(0.994, "0.994 $0.99 99.40%");
        row(0.99995, "0.99995 $1.00 100.00%");
        row(9.995, "9.995 $10.00 999.50%");
        row(0.0049999, "0.0049999 $0.00 0.50%");
        row(-0.285, "-0.285 -$0.29 -28.50%");
        row(-0.00001, "-0.00001 $0.00 0.00%");
        row(12345678901234.5, "12345678901234.5 $12345678901234.50 1234567890123450.00%");
        row(999999999999999, "999999999999999 $999999999999999.00 99999999999999900.00%");
        row(999999999999999.9, "1E+15 $1000000000000000.00 100000000000000000.00%");
        row(1234567890123456, "1.23456789012346E+15 $1234567890123460.00 123456789012346000.00%");
        row(1e-15, "0.000000000000001 $0.00 0.00%");
        row(-1.5e-16, "-1.5E-16 $0.00 0.00%");
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

    void generalTextReadsBackAs15Digits()
    {
        const QRegularExpression exponentForm("^-?[1-9](\\.[0-9]*[1-9])?E[+-][1-9][0-9]*$");
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
                COMPARE_BITS(strictNumber(text.toStdString()).value_or(kNone), expected);
            const int decade = rounded.mid(rounded.indexOf('e') + 1).toInt();
            QVERIFY2(decade >= -15 && decade < 15
                         ? !text.contains('E')
                         : exponentForm.match(QString::fromLatin1(text)).hasMatch(),
                     text.constData());
        }
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
};

QTEST_APPLESS_MAIN(TestNumberRules)
#include "tst_NumberRules.moc"
