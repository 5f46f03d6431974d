#pragma once

#include <optional>
#include <string>
#include <string_view>

// The rules by which texts become numbers and figures become texts. They never
// consult the process locale: a point is the decimal separator everywhere.
namespace tally {

// Shown in place of a figure that left the double range (only a hand-edited log
// can get there); it is deliberately not a number so it can never be saved as one.
inline constexpr std::string_view kOverflowText = "Overflow";

// The text without the blanks (space, tab, CR, LF) around it.
std::string_view trimBlanks(std::string_view text);

// The whole text, blanks around it aside, must be one number: sign, digits with at
// most one point, optional exponent. A number beyond the double range gives an
// infinity of its sign; one too small to represent gives zero.
std::optional<double> strictNumber(std::string_view text);

// Blanks (space, tab, line feed) are skipped wherever they stand; the longest
// number at the start is read and the rest ignored. No number gives 0.
double leadingNumber(std::string_view text);

// Shortest decimal with at most 15 significant digits; exponent form ("1E+15")
// from 1E+15 on and below 1E-15; kOverflowText for a value that is not finite.
std::string generalNumberText(double value);

// Whole number of zero or more, or no count when the text is not a number.
// Infinity when the count lies beyond the double range.
std::optional<double> count(std::string_view text);

// How Log Finds takes an entry: its whole part with the sign kept, otherwise as
// count() does. No value for a text that is not a number.
std::optional<double> normalisedEntry(std::string_view text);

// The count where there is one, otherwise 0: how every figure reads a count.
double countOrZero(std::string_view text);

// "$##0.00": the value's 15-significant-digit decimal rounded to cents, half away
// from zero. kOverflowText for a value that is not finite.
std::string moneyText(double value);

// "##0.00%" of the value times 100, rounded as moneyText. kOverflowText when not finite.
std::string shareText(double value);

} // namespace tally
