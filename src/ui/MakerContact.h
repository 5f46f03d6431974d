#pragma once

#include <QLatin1String>

// Where users reach the makers. Every value is made up: the domain is
// reserved for examples, and no such street, town, state or ICQ user exists.
// The address is kept short: the placeholder tabs show it in 18 point type in
// a label two lines high.
class MakerContact
{
public:
    static constexpr QLatin1String name{"The Zoredev Team"};
    static constexpr QLatin1String email{"hunt@example.com"};
    static constexpr QLatin1String icq{"000000000"};
    static constexpr QLatin1String street{"123 Example Lane"};
    static constexpr QLatin1String cityAndState{"Anytown, ZZ"};
    static constexpr QLatin1String postalCode{"00000"};
};
