#pragma once

#include <QTest>

// A check whose prerequisite this machine lacks (a locale, a font, a tool) is skipped
// with its reason. A build configured with ZOREDEV_REQUIRE_ALL_TESTS, as ./dev.sh test
// makes it after installing everything, fails instead: there a skip hides a missing install.
#define ZOREDEV_REQUIRE(condition, reason)                                                         \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            if (qEnvironmentVariableIsSet("ZOREDEV_REQUIRE_ALL"))                                  \
                QFAIL(reason);                                                                     \
            QSKIP(reason);                                                                         \
        }                                                                                          \
    } while (false)
