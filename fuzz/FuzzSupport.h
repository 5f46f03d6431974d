#pragma once

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

// What every fuzz target shares: how a broken property is reported, the C
// library's number parser as an independent reference for the number rules, and
// the shapes that the program's own texts must have.
namespace fuzz {

// A broken property is reported like a crash, so that libFuzzer keeps the input
// that broke it and the run fails.
inline void check(bool holds, const char* property, std::string_view input)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\ninput (%zu bytes): \"", property, input.size());
    for (const char c : input.substr(0, 200)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\')
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02x", byte);
    }
    std::fprintf(stderr, "\"%s\n", input.size() > 200 ? "..." : "");
    std::abort();
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Only these characters can make up a number; keeping strtod to them rules out
// the hexadecimal, "inf" and "nan" forms it would otherwise accept.
inline bool isNumberCharacter(char c)
{
    return isDigit(c) || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
}

struct Parsed
{
    double value = 0.0;
    std::size_t length = 0; // characters strtod used; 0 when it found no number
};

// The longest number at the start of a text made of number characters only.
inline Parsed referenceParse(std::string_view numberCharacters)
{
    const std::string text(numberCharacters);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    return {value, static_cast<std::size_t>(end - text.c_str())};
}

// Two readings of the same number text agree. glibc's strtod gives a subnormal
// where the number rules may give zero: both stand for "too small to show".
inline bool sameNumber(double ours, double reference)
{
    if (std::isnan(ours) || std::isnan(reference))
        return false;
    if (ours == reference)
        return true;
    return ours == 0.0 && std::fabs(reference) < DBL_MIN;
}

// Whether the value rounded to 15 significant digits is still a double: for the
// very largest doubles it rounds up past the range.
inline bool staysInRangeAt15Digits(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.14e", value);
    return std::isfinite(std::strtod(text, nullptr));
}

// "$##0.00", with a leading "-" allowed only when asked for.
inline bool isFixedTwoDecimals(std::string_view text, std::string_view prefix,
                               std::string_view suffix, bool allowMinus)
{
    if (allowMinus && !text.empty() && text.front() == '-')
        text.remove_prefix(1);
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    if (text.size() < suffix.size() || text.substr(text.size() - suffix.size()) != suffix)
        return false;
    text.remove_suffix(suffix.size());
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || point == 0 || text.size() - point != 3)
        return false;
    const std::string_view whole = text.substr(0, point);
    if (whole.size() > 1 && whole.front() == '0')
        return false;
    return std::all_of(whole.begin(), whole.end(), isDigit) && isDigit(text[point + 1]) &&
           isDigit(text[point + 2]);
}

inline bool isMoneyText(std::string_view text, bool allowMinus)
{
    return isFixedTwoDecimals(text, "$", "", allowMinus);
}

inline bool isShareText(std::string_view text)
{
    return isFixedTwoDecimals(text, "", "%", true);
}

// The general number text: plain digits below 1E+15 ("0", "-12", "0.25"), the
// exponent form ("1.5E+20", "2E-16") outside, never more than 15 significant
// digits, no trailing zeros after a point.
inline bool isGeneralNumberText(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    if (text == "0")
        return true;
    std::string_view mantissa = text;
    std::string_view exponent;
    if (const std::size_t e = text.find('E'); e != std::string_view::npos) {
        mantissa = text.substr(0, e);
        exponent = text.substr(e + 1);
        if (exponent.size() < 2 || (exponent.front() != '+' && exponent.front() != '-') ||
            exponent[1] == '0' || !std::all_of(exponent.begin() + 1, exponent.end(), isDigit))
            return false;
    }
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
    if (whole.empty() || !std::all_of(whole.begin(), whole.end(), isDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), isDigit))
        return false;
    if (point != std::string_view::npos && (fraction.empty() || fraction.back() == '0'))
        return false;
    if (!exponent.empty() && (whole.size() != 1 || whole == "0"))
        return false;
    if (whole.size() > 1 && whole.front() == '0')
        return false;
    const std::string digits = std::string(whole) + std::string(fraction);
    const std::size_t firstSignificant = digits.find_first_not_of('0');
    return firstSignificant != std::string::npos && digits.size() - firstSignificant <= 15;
}

} // namespace fuzz
