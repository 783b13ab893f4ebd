#include "core/MenuText.h"

#include <gtest/gtest.h>

namespace {

TEST(MenuItemText, DoublesEveryAmpersandAndKeepsTheRest) {
    EXPECT_EQ("R&&D", MenuItemText("R&D"));
    EXPECT_EQ("&&&&x&&", MenuItemText("&&x&"));
    EXPECT_EQ("plain", MenuItemText("plain"));
    // "表" ends in byte 0x5C and "ソ" in 0x5C too: double-byte titles pass through unchanged.
    EXPECT_EQ("\x95\x5C&&\x83\x5C", MenuItemText("\x95\x5C&\x83\x5C"));
}

} // namespace
