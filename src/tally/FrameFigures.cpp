#include "tally/FrameFigures.h"

#include "tally/NumberRules.h"

#include <cmath>
#include <limits>

namespace tally {

FrameFigures FrameFigures::of(const PerDenomination<std::string>& countTexts)
{
    FrameFigures figures;
    PerDenomination<double> counts{};
    for (std::size_t i = 0; i < kDenominationCount; ++i) {
        counts[i] = countOrZero(countTexts[i]);
        figures.faceValues[i] = moneyText(kDenominations[i].faceValueOf(counts[i]));
    }

    double total = counts[0];
    for (std::size_t i = 1; i < kDenominationCount; ++i)
        total += counts[i];
    figures.coinTotal = generalNumberText(total);

    // Shares divide by the number the coin-total caption holds, which above 1E+15
    // is the total rounded to 15 digits, so that the shares agree with what is shown.
    const std::optional<double> shownTotal = strictNumber(figures.coinTotal);
    for (std::size_t i = 0; i < kDenominationCount; ++i) {
        double share = 0.0;
        if (counts[i] != 0) {
            // Just below the top of the double range the caption's 15 digits round
            // past it, and dividing by infinity would show every share as 0.00%.
            share = shownTotal && std::isfinite(*shownTotal)
                        ? counts[i] / *shownTotal
                        : std::numeric_limits<double>::quiet_NaN();
        }
        figures.shares[i] = shareText(share);
    }

    figures.totalFaceValue = totalFaceValueText(figures.faceValues);
    return figures;
}

std::string totalFaceValueText(const PerDenomination<std::string>& faceValueCaptions)
{
    double total = 0.0;
    for (const std::string& caption : faceValueCaptions) {
        if (caption == kOverflowText)
            return std::string(kOverflowText);
        if (!caption.empty())
            total += leadingNumber(std::string_view(caption).substr(1));
    }
    return moneyText(total);
}

} // namespace tally
