#pragma once

#include "tally/Denomination.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tally {

template <typename T> using PerDenomination = std::array<T, kDenominationCount>;

// Every caption of one frame, worked out from the six count texts it shows.
struct FrameFigures
{
    PerDenomination<std::string> faceValues;
    std::string coinTotal;
    PerDenomination<std::string> shares;
    std::string totalFaceValue;

    // A count text that is not a number counts as 0, so the figures stay readable
    // and nothing the user has logged is touched by a stray keystroke.
    static FrameFigures of(const PerDenomination<std::string_view>& countTexts);
};

// The sum of the face-value captions on display, each read after its "$", in the
// money format. A caption showing an overflow makes the total overflow too.
std::string totalFaceValueText(const PerDenomination<std::string_view>& faceValueCaptions);

// How Log Finds takes an entry: its whole part, sign kept, through the general
// number text and back. No value for a text that is not a number.
std::optional<double> normalisedEntry(std::string_view text);

} // namespace tally
