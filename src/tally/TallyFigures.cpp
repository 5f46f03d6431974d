#include "tally/TallyFigures.h"

#include "tally/NumberRules.h"

#include <cmath>
#include <limits>

namespace tally {

double coinTotal(const Counts& counts)
{
    double total = counts[0];
    for (std::size_t i = 1; i < counts.size(); ++i)
        total += counts[i];
    return total;
}

double share(double count, std::string_view coinTotalCaption)
{
    if (count == 0)
        return 0.0;
    const auto total = strictNumber(coinTotalCaption);
    // Just below the top of the double range the caption's 15 digits round past it;
    // dividing by that infinity would show every share as 0.00%.
    if (!total || !std::isfinite(*total))
        return std::numeric_limits<double>::quiet_NaN();
    return count / *total;
}

double totalFaceValue(const Captions& faceValueCaptions)
{
    double total = 0.0;
    for (const std::string_view caption : faceValueCaptions) {
        if (caption == kOverflowText)
            return std::numeric_limits<double>::infinity();
        total += caption.empty() ? 0.0 : leadingNumber(caption.substr(1));
    }
    return total;
}

} // namespace tally
