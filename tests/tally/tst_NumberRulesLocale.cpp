#include "tally/NumberRules.h"
#include "tally/TallyTestSupport.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <clocale>
#include <cmath>
#include <locale>

using namespace tally;

namespace {

constexpr const char* kDecimalCommaLocale = "de_DE.UTF-8";

// Both the C library's and the C++ library's idea of the locale, since either could
// sneak a comma into a number.
void applyLocale(const char* name)
{
    std::setlocale(LC_ALL, name);
    std::locale::global(std::locale(name));
}

QByteArray allTextsOf(double value)
{
    return bytes(generalNumberText(value)) + ' ' + bytes(moneyText(value)) + ' ' +
           bytes(shareText(value));
}

} // namespace

// The rules under a user locale whose decimal separator is a comma give exactly the
// texts they give anywhere else.
class TestNumberRulesLocale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void textsAreRead_data();
    void textsAreRead();
    void valuesAreWritten_data();
    void valuesAreWritten();
    void sameTextsAsUnderTheCLocale();
};

void TestNumberRulesLocale::initTestCase()
{
    if (!std::setlocale(LC_ALL, kDecimalCommaLocale))
        QSKIP("locale de_DE.UTF-8 is not installed (./dev.sh test generates it): the decimal-comma "
              "checks cannot run");
    applyLocale(kDecimalCommaLocale);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(std::localeconv()->decimal_point, ",");
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
}

void TestNumberRulesLocale::cleanupTestCase()
{
    applyLocale("C");
    QLocale::setDefault(QLocale::c());
}

void TestNumberRulesLocale::textsAreRead_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("strict");
    QTest::addColumn<double>("leading");
    QTest::addColumn<double>("count");

    const auto row = [](const char* text, bool isNumber, double strict, double leading,
                        double count) {
        QTest::newRow(rowName(text).constData())
            << QByteArray(text) << isNumber << strict << leading << count;
    };
    row("1.5", true, 1.5, 1.5, 1);
    row("12.7", true, 12.7, 12.7, 12);
    row("-3.5", true, -3.5, -3.5, 3);
    row("0.285", true, 0.285, 0.285, 0);
    row(".5", true, 0.5, 0.5, 0);
    row("1.5e3", true, 1500, 1500, 1500);
    row("1.000", true, 1, 1, 1);
    row("1,5", false, 0, 1, 0);
    row("-3,5", false, 0, -3, 0);
    row(",5", false, 0, 0, 0);
    row("1,5e3", false, 0, 1, 0);
    row("1.000,5", false, 0, 1, 0);
    row("1 234,5", false, 0, 1234, 0);
    row("$1.50", false, 0, 0, 0);
}

void TestNumberRulesLocale::textsAreRead()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, isNumber);
    QFETCH(double, strict);
    QFETCH(double, leading);
    QFETCH(double, count);

    const std::optional<double> number = strictNumber(view(text));
    QVERIFY2(number.has_value() == isNumber, describe(number).constData());
    if (isNumber)
        COMPARE_DOUBLE(*number, strict);
    COMPARE_DOUBLE(leadingNumber(view(text)), leading);
    COMPARE_DOUBLE(countOrZero(view(text)), count);
}

void TestNumberRulesLocale::valuesAreWritten_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("general");
    QTest::addColumn<QByteArray>("money");
    QTest::addColumn<QByteArray>("share");

    const auto row = [](const char* name, double value, const char* general, const char* money,
                        const char* share) {
        QTest::newRow(name) << value << QByteArray(general) << QByteArray(money)
                            << QByteArray(share);
    };
    row("half", 0.5, "0.5", "$0.50", "50.00%");
    row("0.285", 0.285, "0.285", "$0.29", "28.50%");
    row("one in 32", 1.0 / 32, "0.03125", "$0.03", "3.13%");
    row("two thirds", 2.0 / 3, "0.666666666666667", "$0.67", "66.67%");
    row("0.1 + 0.2", 0.1 + 0.2, "0.3", "$0.30", "30.00%");
    row("no grouping", 1234567.891, "1234567.891", "$1234567.89", "123456789.10%");
    row("exponent form", 1234567890123456, "1.23456789012346E+15", "$1234567890123460.00",
        "123456789012346000.00%");
    row("small exponent form", 2.5e-16, "2.5E-16", "$0.00", "0.00%");
    row("negative", -12.75, "-12.75", "-$12.75", "-1275.00%");
}

void TestNumberRulesLocale::valuesAreWritten()
{
    QFETCH(double, value);
    QFETCH(QByteArray, general);
    QFETCH(QByteArray, money);
    QFETCH(QByteArray, share);

    QCOMPARE(bytes(generalNumberText(value)), general);
    QCOMPARE(bytes(moneyText(value)), money);
    QCOMPARE(bytes(shareText(value)), share);
}

void TestNumberRulesLocale::sameTextsAsUnderTheCLocale()
{
    QRandomGenerator random(1234);
    QList<double> values;
    for (int i = 0; i < 3000; ++i) {
        const int decade = random.bounded(-20, 21);
        values << (random.generateDouble() - 0.5) * std::pow(10.0, decade);
    }

    applyLocale("C");
    QByteArrayList expected;
    for (const double value : values)
        expected << allTextsOf(value);
    applyLocale(kDecimalCommaLocale);

    for (qsizetype i = 0; i < values.size(); ++i) {
        const QByteArray texts = allTextsOf(values.at(i));
        QCOMPARE(texts, expected.at(i));
        const QByteArray general = texts.left(texts.indexOf(' '));
        QVERIFY2(!general.contains(','), texts.constData());
        COMPARE_DOUBLE(strictNumber(view(general)).value_or(std::nan("")),
                       leadingNumber(view(general)));
    }
}

QTEST_APPLESS_MAIN(TestNumberRulesLocale)
#include "tst_NumberRulesLocale.moc"
