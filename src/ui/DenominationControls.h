#pragma once

#include "tally/Denomination.h"

#include <array>

// The controls of each denomination's row, in the walk order of the
// denomination table.
struct DenominationControls
{
    const char* rowCaption;       // "Dollar Coins:"
    const char* entryBox;         // txtDollarCoins
    int entryMaxLength;           // characters the user may type into it
    const char* countLabel;       // lblDollarCoins (element 0)
    const char* faceValueLabel;   // lblFaceValueDollars (element 0 logged, 1 latest)
    const char* latestShareLabel; // lblPctDollars
    const char* loggedShareLabel; // lblPercentDollars
};

inline constexpr std::array<DenominationControls, tally::kDenominationCount> kRowControls{{
    {"Dollar Coins:", "txtDollarCoins", 2, "lblDollarCoins", "lblFaceValueDollars", "lblPctDollars",
     "lblPercentDollars"},
    {"Half Dollar Coins:", "txtHalfDollarCoins", 2, "lblHalfDollarCoins", "lblHalfDollarFaceValue",
     "lblPctHalfDollars", "lblPercentHalfDollars"},
    {"Quarters:", "txtQuarters", 2, "lblQuarters", "lblQuartersFaceValue", "lblPctQuarters",
     "lblPercentQuarters"},
    {"Dimes:", "txtDimes", 2, "lblDimes", "lblDimesFaceValue", "lblPctDimes", "lblPercentDimes"},
    {"Nickels:", "txtNickels", 2, "lblNickels", "lblNickelsFaceValue", "lblPctNickels",
     "lblPercentNickels"},
    {"Pennies:", "txtPennies", 3, "lblPennies", "lblPenniesFaceValue", "lblPctPennies",
     "lblPercentPennies"},
}};
