#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tally {

// One coin kind with the names of every control of its row, so that the window,
// the log and the figures all walk the same table in the same order.
struct Denomination
{
    std::string_view rowCaption;       // "Dollar Coins:"
    std::string_view name;             // "Dollar Coins", for accessible names
    double faceValue;                  // dollars per coin
    bool countIsFaceValue;             // dollar coins: the count itself, no multiplication
    int entryMaxLength;                // characters the entry box accepts
    std::string_view entryBox;         // txtDollarCoins
    std::string_view countLabel;       // lblDollarCoins (element 0)
    std::string_view faceValueLabel;   // lblFaceValueDollars (element 0 logged, 1 latest)
    std::string_view latestShareLabel; // lblPctDollars
    std::string_view loggedShareLabel; // lblPercentDollars

    // Face value of a count, exactly one double multiplication (none for dollar coins).
    double faceValueOf(double count) const { return countIsFaceValue ? count : count * faceValue; }
};

inline constexpr std::size_t kDenominationCount = 6;

// Walk order of every sum, share, log line and pass: dollar coins first, pennies last.
inline constexpr std::array<Denomination, kDenominationCount> kDenominations{{
    {"Dollar Coins:", "Dollar Coins", 1.0, true, 2, "txtDollarCoins", "lblDollarCoins",
     "lblFaceValueDollars", "lblPctDollars", "lblPercentDollars"},
    {"Half Dollar Coins:", "Half Dollar Coins", 0.5, false, 2, "txtHalfDollarCoins",
     "lblHalfDollarCoins", "lblHalfDollarFaceValue", "lblPctHalfDollars", "lblPercentHalfDollars"},
    {"Quarters:", "Quarters", 0.25, false, 2, "txtQuarters", "lblQuarters", "lblQuartersFaceValue",
     "lblPctQuarters", "lblPercentQuarters"},
    {"Dimes:", "Dimes", 0.1, false, 2, "txtDimes", "lblDimes", "lblDimesFaceValue", "lblPctDimes",
     "lblPercentDimes"},
    {"Nickels:", "Nickels", 0.05, false, 2, "txtNickels", "lblNickels", "lblNickelsFaceValue",
     "lblPctNickels", "lblPercentNickels"},
    {"Pennies:", "Pennies", 0.01, false, 3, "txtPennies", "lblPennies", "lblPenniesFaceValue",
     "lblPctPennies", "lblPercentPennies"},
}};

} // namespace tally
