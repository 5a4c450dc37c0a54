#pragma once
// The loopback Firebird server and the bare X display that scripts/test starts. Run by hand
// without them, the tests that need them skip. Under scripts/test (which exports
// ZENOBRA_TEST_SERVICES=required) a service that is named but cannot be reached fails them:
// a server that died must not pass as a run of skipped tests.

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace services {

bool required();
// Why the loopback server cannot be used, or nothing when it answers on its port.
std::optional<std::string> serverMissing();
// Why the tests of the real display cannot run, or nothing when they run on it.
std::optional<std::string> displayMissing();

} // namespace services

#define ZK_REQUIRE_SERVICE(missing)                                                                                   \
    do {                                                                                                               \
        if (const std::optional<std::string> why = (missing)) {                                                        \
            if (services::required())                                                                                  \
                FAIL() << *why;                                                                                        \
            GTEST_SKIP() << *why;                                                                                      \
        }                                                                                                              \
    } while (false)

#define ZK_REQUIRE_SERVER() ZK_REQUIRE_SERVICE(services::serverMissing())
#define ZK_REQUIRE_DISPLAY() ZK_REQUIRE_SERVICE(services::displayMissing())
