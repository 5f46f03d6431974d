#pragma once

#include <QLatin1String>

// Where users reach the makers. Every value is made up: the domain is
// reserved for examples, and no such street, town, state or ICQ user exists.
class MakerContact
{
public:
    static constexpr QLatin1String name{"The Zoredev Team"};
    static constexpr QLatin1String email{"hunt@zoredev.example.com"};
    static constexpr QLatin1String icq{"000000000"};
    static constexpr QLatin1String street{"123 Example Lane"};
    static constexpr QLatin1String cityAndState{"Anytown, ZZ"};
    static constexpr QLatin1String postalCode{"00000"};
};
