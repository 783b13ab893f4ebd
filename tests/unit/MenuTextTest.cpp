#include "core/MenuText.h"

#include <gtest/gtest.h>

namespace {

TEST(MenuItemText, DoublesEveryAmpersandAndKeepsTheRest) {
    EXPECT_EQ(L"R&&D", MenuItemText(L"R&D"));
    EXPECT_EQ(L"&&&&x&&", MenuItemText(L"&&x&"));
    EXPECT_EQ(L"plain", MenuItemText(L"plain"));
    // "表" and "ソ", whose code page 932 bytes end in 0x5C, pass through unchanged.
    EXPECT_EQ(L"\u8868&&\u30BD", MenuItemText(L"\u8868&\u30BD"));
}

TEST(MenuItemText, ShowsTheNumberKeyInTheShortcutColumnAndNoOtherTab) {
    EXPECT_EQ(L"R&&D\t1", MenuItemText(L"R&D", 1));
    EXPECT_EQ(L"Nine\t9", MenuItemText(L"Nine", 9));
    EXPECT_EQ(L"Tenth", MenuItemText(L"Tenth", 10));
    EXPECT_EQ(L"Unnumbered", MenuItemText(L"Unnumbered", 0));
    // A tab or backspace in a title would start the shortcut column early.
    EXPECT_EQ(L"a b  c\t2", MenuItemText(L"a\tb\t\bc", 2));
}

} // namespace
