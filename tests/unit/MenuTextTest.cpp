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

TEST(MenuItemText, ShowsTheNumberKeyInTheShortcutColumnAndNoOtherTab) {
    EXPECT_EQ("R&&D\t1", MenuItemText("R&D", 1));
    EXPECT_EQ("Nine\t9", MenuItemText("Nine", 9));
    EXPECT_EQ("Tenth", MenuItemText("Tenth", 10));
    EXPECT_EQ("Unnumbered", MenuItemText("Unnumbered", 0));
    // A tab or backspace in a title would start the shortcut column early.
    EXPECT_EQ("a b  c\t2", MenuItemText("a\tb\t\bc", 2));
}

} // namespace
