#pragma once

#include <QByteArray>
#include <QTest>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

// The rules work on 8-bit texts; the tables hold them as QByteArray so that a
// failure prints the text itself.
inline std::string_view view(const QByteArray& text)
{
    return std::string_view(text.constData(), static_cast<std::size_t>(text.size()));
}

inline QByteArray bytes(const std::string& text)
{
    return QByteArray::fromStdString(text);
}

// Figures must come out bit for bit as the double operations give them, so the
// fuzzy QCOMPARE for doubles would hide the very faults these tests look for.
// Signed zeros are told apart; any NaN equals any NaN.
inline bool sameDouble(double actual, double expected)
{
    if (std::isnan(expected))
        return std::isnan(actual);
    return actual == expected && std::signbit(actual) == std::signbit(expected);
}

inline QByteArray describe(double value)
{
    return QByteArray::number(value, 'g', 17);
}

inline QByteArray describe(std::optional<double> value)
{
    return value ? describe(*value) : QByteArrayLiteral("no number");
}

// A readable row name for a text that may hold blanks or be empty.
inline QByteArray rowName(const QByteArray& text)
{
    QByteArray name = text;
    name.replace('\t', "\\t").replace('\n', "\\n").replace('\r', "\\r");
    return '"' + name + '"';
}

#define COMPARE_DOUBLE(actual, expected)                                                           \
    do {                                                                                           \
        const double actualValue_ = (actual);                                                      \
        const double expectedValue_ = (expected);                                                  \
        QVERIFY2(sameDouble(actualValue_, expectedValue_),                                         \
                 ("actual " + describe(actualValue_) + ", expected " + describe(expectedValue_))   \
                     .constData());                                                                \
    } while (false)
