// What the key-script fuzz target found, pinned down: a --key hold is turned
// into its auto-repeats up front, so an absurdly long hold must be refused
// (or kept compact) instead of filling memory with repeats.
#include "session/key_script.h"

#include <gtest/gtest.h>

TEST(KeyScriptLimits, aKeyHeldForADayIsRefusedOrKeptCompact) {
    std::vector<InputEvent> events;
    std::string error;
    // A day of repeats every 33 ms is 2.6 million events; a month is 80 million.
    const bool accepted =
        parseKeyOption("1s:UP:24h", events, error) || parseKeyOption("1s:UP:86400s", events, error);
    if (accepted) {
        EXPECT_LT(events.size(), 1000000u);
    } else {
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(events.empty());
    }
}
