#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tally {

struct Denomination
{
    std::string_view name; // "Dollar Coins", as the user reads it in a message
    double faceValue;      // dollars per coin
    bool countIsFaceValue; // dollar coins: the count itself, no multiplication

    // Exactly one double multiplication, or none for dollar coins, so that every
    // face value comes out bit for bit the same wherever it is worked out.
    double faceValueOf(double count) const { return countIsFaceValue ? count : count * faceValue; }
};

inline constexpr std::size_t kDenominationCount = 6;

template <typename T> using PerDenomination = std::array<T, kDenominationCount>;

// The order of every sum, share, log line and pass: dollar coins first, pennies
// last. Sums of doubles depend on their order, so nothing may walk it otherwise.
inline constexpr std::array<Denomination, kDenominationCount> kDenominations{{
    {"Dollar Coins", 1.0, true},
    {"Half Dollar Coins", 0.5, false},
    {"Quarters", 0.25, false},
    {"Dimes", 0.1, false},
    {"Nickels", 0.05, false},
    {"Pennies", 0.01, false},
}};

} // namespace tally
