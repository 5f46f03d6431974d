#pragma once

#include "tally/Denomination.h"

#include <array>
#include <string>
#include <string_view>

// The figures of one frame, each computed in the walk order of the denomination
// table with the same double operations the window performs.
namespace tally {

using Counts = std::array<double, kDenominationCount>;
using Captions = std::array<std::string_view, kDenominationCount>;

// The six counts added as doubles, dollar coins first.
double coinTotal(const Counts& counts);

// A zero count is a zero share without any division; otherwise the count divided by
// the number the coin-total caption holds (not a finite number: no figure, NaN).
double share(double count, std::string_view coinTotalCaption);

// Sum of the face-value captions on display, each read after its first character.
// A caption that shows an overflow makes the total overflow too.
double totalFaceValue(const Captions& faceValueCaptions);

} // namespace tally
