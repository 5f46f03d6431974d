#pragma once

#include "tally/Denomination.h"

#include <string>

namespace tally {

// Every caption of one frame, worked out from the six count texts it shows.
struct FrameFigures
{
    PerDenomination<std::string> faceValues;
    std::string coinTotal;
    PerDenomination<std::string> shares;
    std::string totalFaceValue;

    // A count text that is not a number counts as 0, so the figures stay readable
    // and nothing the user has logged is touched by a stray keystroke.
    static FrameFigures of(const PerDenomination<std::string>& countTexts);
};

// The sum of the face-value captions on display, each read after its "$", in the
// money format. A caption showing an overflow makes the total overflow too.
std::string totalFaceValueText(const PerDenomination<std::string>& faceValueCaptions);

} // namespace tally
