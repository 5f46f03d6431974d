#include "FuzzSupport.h"

#include "tally/Denomination.h"
#include "tally/NumberRules.h"
#include "tally/TallyFigures.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace {

// The number a money or share text shows, sign included.
double shownValue(std::string_view text)
{
    std::string digits;
    for (const char c : text) {
        if (fuzz::isDigit(c) || c == '.')
            digits.push_back(c);
    }
    const double magnitude = fuzz::referenceParse(digits).value;
    return !text.empty() && text.front() == '-' ? -magnitude : magnitude;
}

bool closeTo(double shown, double exact, double rounding)
{
    // The 15 digits that the text shows of the largest doubles read back as infinity.
    if (std::isinf(shown) && !fuzz::staysInRangeAt15Digits(exact))
        return true;
    return std::fabs(shown - exact) <= rounding + std::fabs(exact) * 1e-13;
}

void checkCount(std::string_view text)
{
    const std::optional<double> counted = tally::count(text);
    const std::optional<double> number = tally::strictNumber(text);
    fuzz::check(counted.has_value() == number.has_value(), "a count exactly for a number", text);
    fuzz::check(tally::countOrZero(text) == counted.value_or(0.0), "countOrZero is the count or 0",
                text);
    if (!counted)
        return;
    const double c = *counted;
    const double whole = std::floor(std::fabs(*number));
    fuzz::check(c >= 0.0 && !std::isnan(c), "every count is zero or more", text);
    if (std::isinf(c)) {
        // Only where 15 significant digits of the whole number leave the double range.
        fuzz::check(!fuzz::staysInRangeAt15Digits(whole),
                    "an infinite count only where 15 digits leave the range", text);
        return;
    }
    fuzz::check(c == std::floor(c), "every count is a whole number", text);
    if (whole < 1e15)
        fuzz::check(c == whole, "below 1E+15 the count is the whole part", text);
    else
        fuzz::check(std::fabs(c - whole) <= whole * 1e-14, "a count keeps 15 digits", text);

    const std::string caption = tally::generalNumberText(c);
    fuzz::check(tally::count(caption) == c, "a count's caption counts as the count", text);

    for (const tally::Denomination& d : tally::kDenominations) {
        const double faceValue = d.faceValueOf(c);
        const std::string money = tally::moneyText(faceValue);
        if (std::isfinite(faceValue)) {
            fuzz::check(fuzz::isMoneyText(money, false), "a face value shows as $##0.00", text);
            fuzz::check(closeTo(shownValue(money), faceValue, 0.005),
                        "a face value shows to the cent", text);
        } else {
            fuzz::check(money == tally::kOverflowText, "an endless face value shows Overflow",
                        text);
        }
    }
}

void checkFormats(double value, std::string_view input)
{
    const std::string general = tally::generalNumberText(value);
    const std::string money = tally::moneyText(value);
    const std::string share = tally::shareText(value);
    if (!std::isfinite(value)) {
        fuzz::check(general == tally::kOverflowText && money == tally::kOverflowText &&
                        share == tally::kOverflowText,
                    "a value that is not finite shows Overflow", input);
        return;
    }

    fuzz::check(fuzz::isGeneralNumberText(general), "the general number text has its form", input);
    fuzz::check((general.front() == '-') == (value < 0), "a minus exactly for a negative value",
                input);
    const std::optional<double> readBack = tally::strictNumber(general);
    fuzz::check(readBack.has_value(), "the general number text is a number", input);
    fuzz::check(std::isinf(*readBack) != fuzz::staysInRangeAt15Digits(value),
                "a general number text reads back beyond the range only where 15 digits are",
                input);
    if (!std::isinf(*readBack)) {
        fuzz::check(std::fabs(*readBack - value) <= std::fabs(value) * 1e-14 + 1e-320,
                    "the general number text keeps 15 significant digits", input);
        fuzz::check(tally::generalNumberText(*readBack) == general,
                    "the general number text reads back to itself", input);
        const bool exponentForm = general.find('E') != std::string::npos;
        const double shown = std::fabs(*readBack);
        fuzz::check(shown == 0.0 || exponentForm == (shown >= 1e15 || shown < 1e-15),
                    "the exponent form exactly from 1E+15 on and below 1E-15", input);
    }

    fuzz::check(fuzz::isMoneyText(money, true), "money text matches $##0.00", input);
    fuzz::check(money.front() != '-' || value < 0, "no minus on money that is not negative", input);
    fuzz::check(money.front() != '-' || money != "-$0.00", "no minus on zero money", input);
    fuzz::check(closeTo(shownValue(money), value, 0.005), "money is rounded to the cent", input);

    if (!std::isfinite(value * 100)) {
        fuzz::check(share == tally::kOverflowText, "a share out of range shows Overflow", input);
        return;
    }
    fuzz::check(fuzz::isShareText(share), "a share text matches ##0.00%", input);
    fuzz::check(share != "-0.00%", "no minus on a zero share", input);
    fuzz::check(closeTo(shownValue(share), value * 100, 0.005),
                "a share is rounded to a hundredth of a percent", input);
}

// A frame's figures from six count texts, as the window works them out.
void checkFrame(const std::array<std::string, tally::kDenominationCount>& texts,
                std::string_view input)
{
    tally::Counts counts{};
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = tally::countOrZero(texts[i]);
    const double total = tally::coinTotal(counts);
    const std::string totalCaption = tally::generalNumberText(total);
    const std::optional<double> shownTotal = tally::strictNumber(totalCaption);
    const bool totalShown = shownTotal && std::isfinite(*shownTotal);

    double shareSum = 0.0;
    std::array<std::string, tally::kDenominationCount> faceCaptions;
    tally::Captions faceViews{};
    double faceSum = 0.0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const std::string share = tally::shareText(tally::share(counts[i], totalCaption));
        if (counts[i] == 0.0) {
            fuzz::check(share == "0.00%", "a zero count has a zero share", input);
        } else if (!totalShown) {
            fuzz::check(share == tally::kOverflowText,
                        "a share of a total shown beyond the range shows Overflow", input);
        } else {
            fuzz::check(fuzz::isShareText(share) && share.front() != '-',
                        "a share shows as ##0.00%", input);
            fuzz::check(shownValue(share) <= 100.0, "no share above 100.00%", input);
            shareSum += shownValue(share);
        }
        faceSum += tally::kDenominations[i].faceValueOf(counts[i]);
        faceCaptions[i] = tally::moneyText(tally::kDenominations[i].faceValueOf(counts[i]));
        faceViews[i] = faceCaptions[i];
    }
    if (totalShown && total > 0)
        fuzz::check(std::fabs(shareSum - 100.0) <= 0.031, "the shares add up to 100%", input);

    const double totalFace = tally::totalFaceValue(faceViews);
    const std::string totalFaceCaption = tally::moneyText(totalFace);
    if (std::isfinite(totalFace)) {
        fuzz::check(fuzz::isMoneyText(totalFaceCaption, false),
                    "the total face value shows as $##0.00", input);
        fuzz::check(closeTo(totalFace, faceSum, 0.031),
                    "the total face value is the sum of the face values shown", input);
    } else {
        fuzz::check(totalFaceCaption == tally::kOverflowText,
                    "an endless total face value shows Overflow", input);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    FuzzedDataProvider provider(data, size);
    // Any bit pattern: NaNs, infinities and subnormals included.
    const auto value = std::bit_cast<double>(provider.ConsumeIntegral<std::uint64_t>());
    const std::string rest = provider.ConsumeRemainingBytesAsString();

    checkCount(rest);
    checkFormats(value, input);

    std::array<std::string, tally::kDenominationCount> texts;
    texts.fill("0");
    std::size_t start = 0;
    for (std::size_t i = 0; i < texts.size() && start <= rest.size(); ++i) {
        const std::size_t end = std::min(rest.find('\n', start), rest.size());
        texts[i] = rest.substr(start, end - start);
        checkCount(texts[i]);
        start = end + 1;
    }
    checkFrame(texts, input);
    return 0;
}
