#include "tally/NumberRules.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tally {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the longest number at the start of text: sign, digits with at most
// one point (at least one digit), then an exponent only if it has digits.
std::size_t matchNumber(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// Whether an unsigned number that from_chars found out of range lies beyond the
// largest double rather than below the smallest: by the decimal exponent of its
// first non-zero digit.
bool exceedsRange(std::string_view number)
{
    const std::size_t mark = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, mark);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    long long exponent = 0;
    if (mark != std::string_view::npos) {
        std::string_view digits = number.substr(mark + 1);
        if (digits.front() == '+')
            digits.remove_prefix(1);
        // An exponent too long to hold is far beyond either edge.
        if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec !=
            std::errc())
            return digits.front() != '-';
    }
    const long long shift =
        static_cast<long long>(point) - static_cast<long long>(first) - (first < point ? 1 : 0);
    return exponent + shift > 0;
}

// A text that matchNumber accepted whole, as the nearest double: beyond the range
// an infinity of its sign, below it zero. from_chars reads it the same whatever the
// user's locale; it takes no "+", and leaves the value alone out of range.
double toDouble(std::string_view number)
{
    const bool negative = number.front() == '-';
    if (number.front() == '+' || negative)
        number.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range)
        value = exceedsRange(number) ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

// The value rounded to 15 significant digits: the digits without trailing zeros
// and the decimal exponent of the first one.
struct Decimal15
{
    char digits[16];
    int length;
    int exponent;
};

Decimal15 toDecimal15(double magnitude)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    Decimal15 d{};
    const char* p = buffer;
    d.digits[d.length++] = *p++;
    if (*p == '.') {
        ++p;
        while (isDigit(*p))
            d.digits[d.length++] = *p++;
    }
    // The first digit of a value other than zero, which no caller passes, is never 0.
    while (d.digits[d.length - 1] == '0')
        --d.length;
    ++p; // 'e'
    std::from_chars(*p == '+' ? p + 1 : p, result.ptr, d.exponent);
    return d;
}

// |value| x 10^decimals rounded half away from zero, from the 15-digit decimal form,
// as a string of decimal digits ("" for zero).
std::string scaledRoundedDigits(double magnitude, int decimals)
{
    if (magnitude == 0.0)
        return std::string();
    const Decimal15 d = toDecimal15(magnitude);
    const int lastKept = d.exponent + decimals; // index of the digit worth 10^-decimals
    std::string kept;
    for (int i = 0; i <= lastKept; ++i)
        kept.push_back(i < d.length ? d.digits[i] : '0');
    const int roundingIndex = lastKept + 1;
    if (roundingIndex >= 0 && roundingIndex < d.length && d.digits[roundingIndex] >= '5') {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[i] == '9')
            kept[i--] = '0';
        if (i >= 0)
            ++kept[i];
        else
            kept.insert(kept.begin(), '1');
    }
    const auto firstNonZero = kept.find_first_not_of('0');
    return firstNonZero == std::string::npos ? std::string() : kept.substr(firstNonZero);
}

// "##0.00" of value, with a leading "-" only when something non-zero remains.
std::string fixedTwoDecimals(double value, std::string_view prefix)
{
    std::string digits = scaledRoundedDigits(std::fabs(value), 2);
    const bool negative = value < 0 && !digits.empty();
    if (digits.size() < 3)
        digits.insert(0, 3 - digits.size(), '0');
    std::string text;
    if (negative)
        text.push_back('-');
    text.append(prefix);
    text.append(digits, 0, digits.size() - 2);
    text.push_back('.');
    text.append(digits, digits.size() - 2, 2);
    return text;
}

} // namespace

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<double> strictNumber(std::string_view text)
{
    text = trimBlanks(text);
    const std::size_t length = matchNumber(text);
    if (length == 0 || length != text.size())
        return std::nullopt;
    return toDouble(text);
}

double leadingNumber(std::string_view text)
{
    // Blanks count for nothing anywhere, so "1 2" reads as 12.
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            compact.push_back(c);
    }
    const std::size_t length = matchNumber(compact);
    return length == 0 ? 0.0 : toDouble(std::string_view(compact).substr(0, length));
}

std::string generalNumberText(double value)
{
    if (!std::isfinite(value))
        return std::string(kOverflowText);
    if (value == 0.0)
        return "0";
    const Decimal15 d = toDecimal15(std::fabs(value));
    std::string text;
    if (value < 0)
        text.push_back('-');
    if (d.exponent >= 15 || d.exponent < -15) {
        text.push_back(d.digits[0]);
        if (d.length > 1) {
            text.push_back('.');
            text.append(d.digits + 1, d.length - 1);
        }
        text.push_back('E');
        text.push_back(d.exponent < 0 ? '-' : '+');
        text.append(std::to_string(std::abs(d.exponent)));
    } else if (d.exponent >= 0) {
        for (int i = 0; i <= d.exponent; ++i)
            text.push_back(i < d.length ? d.digits[i] : '0');
        if (d.length > d.exponent + 1) {
            text.push_back('.');
            text.append(d.digits + d.exponent + 1, d.length - d.exponent - 1);
        }
    } else {
        text.append("0.");
        text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        text.append(d.digits, d.length);
    }
    return text;
}

namespace {

// The whole part of the number the text holds, through its 15-digit text and back:
// beyond 1E+15 it keeps only what a caption could show.
std::optional<double> wholeNumber(std::string_view text, bool keepSign)
{
    const auto number = strictNumber(text);
    if (!number)
        return std::nullopt;
    const double whole = std::floor(keepSign ? *number : std::fabs(*number));
    if (!std::isfinite(whole))
        return whole;
    return leadingNumber(generalNumberText(whole));
}

} // namespace

std::optional<double> count(std::string_view text)
{
    return wholeNumber(text, false);
}

std::optional<double> normalisedEntry(std::string_view text)
{
    return wholeNumber(text, true);
}

double countOrZero(std::string_view text)
{
    return count(text).value_or(0.0);
}

std::string moneyText(double value)
{
    if (!std::isfinite(value))
        return std::string(kOverflowText);
    return fixedTwoDecimals(value, "$");
}

std::string shareText(double value)
{
    const double percent = value * 100;
    if (!std::isfinite(percent))
        return std::string(kOverflowText);
    return fixedTwoDecimals(percent, "") + "%";
}

} // namespace tally
