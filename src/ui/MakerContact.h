#pragma once

#include <QLatin1String>

// Where users reach the makers. Every value is made up: the domain is
// reserved for examples, and no such street, town, state or ICQ user exists.
// The address is kept short: the placeholder tabs show it in 18 point type in
// a label two lines high.
namespace MakerContact {

inline constexpr QLatin1String name{"The Zoredev Team"};
inline constexpr QLatin1String email{"hunt@example.com"};
inline constexpr QLatin1String icq{"000000000"};
inline constexpr QLatin1String street{"123 Example Lane"};
inline constexpr QLatin1String cityAndState{"Anytown, ZZ"};
inline constexpr QLatin1String postalCode{"00000"};

} // namespace MakerContact
