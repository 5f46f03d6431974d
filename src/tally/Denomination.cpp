#include "tally/Denomination.h"

namespace tally {
static_assert(kDenominations.front().countIsFaceValue, "dollar coins come first");
static_assert(kDenominations.back().entryMaxLength == 3, "pennies come last");
} // namespace tally
