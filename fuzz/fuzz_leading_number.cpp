#include "FuzzSupport.h"

#include "tally/NumberRules.h"

#include <cstddef>
#include <cstdint>

namespace {

// Drop the blanks the rule skips, keep the run of number characters at the start
// and let strtod find the longest number in it.
double reference(std::string_view text)
{
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            compact.push_back(c);
    }
    const auto end = std::find_if_not(compact.begin(), compact.end(), fuzz::isNumberCharacter);
    const fuzz::Parsed parsed =
        fuzz::referenceParse(std::string_view(compact.data(), end - compact.begin()));
    return parsed.length == 0 ? 0.0 : parsed.value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = tally::leadingNumber(text);

    fuzz::check(!std::isnan(value), "the leading number is never NaN", text);
    fuzz::check(fuzz::sameNumber(value, reference(text)),
                "the same value as strtod on the text without blanks", text);

    // Whatever stands after a character that cannot go on a number is ignored.
    const std::string followed = std::string(text) + "x1";
    fuzz::check(tally::leadingNumber(followed) == value, "text after the number is ignored", text);
    return 0;
}
