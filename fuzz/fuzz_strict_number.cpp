#include "FuzzSupport.h"

#include "tally/NumberRules.h"

#include <cstddef>
#include <cstdint>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The whole text is one number exactly when strtod, kept to number characters,
// reads all of it.
std::optional<double> reference(std::string_view text)
{
    const std::string_view core = trimmed(text);
    if (core.empty() || !std::all_of(core.begin(), core.end(), fuzz::isNumberCharacter))
        return std::nullopt;
    const fuzz::Parsed parsed = fuzz::referenceParse(core);
    if (parsed.length != core.size())
        return std::nullopt;
    return parsed.value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> number = tally::strictNumber(text);
    const std::optional<double> expected = reference(text);

    fuzz::check(number.has_value() == expected.has_value(),
                "a number exactly when the C library reads the whole text as one", text);
    if (!number)
        return 0;
    fuzz::check(fuzz::sameNumber(*number, *expected), "the same value as strtod", text);

    // Blanks around the number change nothing.
    const std::string padded = " \t\r\n" + std::string(text) + "\n\r\t ";
    const std::optional<double> again = tally::strictNumber(padded);
    fuzz::check(again && *again == *number, "blanks around the text change nothing", text);

    // With no blank inside to skip, the leading number of a whole number is the number.
    if (std::none_of(text.begin(), text.end(), isBlank))
        fuzz::check(tally::leadingNumber(text) == *number,
                    "the leading number of a number text is that number", text);

    if (!std::isfinite(*number)) {
        fuzz::check(tally::generalNumberText(*number) == tally::kOverflowText,
                    "a number beyond the double range shows as Overflow", text);
        return 0;
    }
    // Its general number text reads back strictly to a value within 15 significant
    // digits, which writes the same text again.
    const std::string shown = tally::generalNumberText(*number);
    fuzz::check(fuzz::isGeneralNumberText(shown), "the general number text has its form", text);
    const std::optional<double> readBack = tally::strictNumber(shown);
    fuzz::check(readBack.has_value(), "the general number text is a number", text);
    fuzz::check(std::isinf(*readBack) != fuzz::staysInRangeAt15Digits(*number),
                "a general number text reads back beyond the range only where 15 digits are", text);
    if (std::isinf(*readBack))
        return 0;
    fuzz::check(std::fabs(*readBack - *number) <= std::fabs(*number) * 1e-14 + 1e-320,
                "the general number text keeps 15 significant digits", text);
    fuzz::check(tally::generalNumberText(*readBack) == shown,
                "the general number text reads back to itself", text);
    return 0;
}
