#include "core/MenuKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = MenuKeyAction::Kind;

// "Kind item" of the action, for readable comparisons.
std::string Describe(const MenuKeyAction& action) {
    switch (action.kind) {
    case Kind::Choose:
        return "choose " + std::to_string(action.item);
    case Kind::Highlight:
        return "highlight " + std::to_string(action.item);
    case Kind::None:
        break;
    }
    return "none";
}

std::string Answer(unsigned key, const std::vector<std::string>& titles, int highlighted = -1) {
    return Describe(MenuKeyActionOf(key, titles, highlighted));
}

TEST(MenuKeyActionOf, NumberKeysChooseTheFirstNineItems) {
    std::vector<std::string> titles;
    for (int i = 0; i < 12; ++i)
        titles.push_back("Viewer " + std::to_string(i));
    EXPECT_EQ("choose 0", Answer('1', titles));
    EXPECT_EQ("choose 8", Answer('9', titles, 3));
    EXPECT_EQ("none", Answer('0', titles));
    EXPECT_EQ("choose 1", Answer('2', {"a", "b"}));
    EXPECT_EQ("none", Answer('3', {"a", "b"}));
    EXPECT_EQ("none", Answer('1', {}));
}

TEST(MenuKeyActionOf, ALetterHighlightsTheNextTitleThatStartsWithItInEitherCase) {
    const std::vector<std::string> titles = {"Text", "hex", "Plain", "Hexdump", "editor"};
    EXPECT_EQ("highlight 1", Answer('h', titles));
    EXPECT_EQ("highlight 1", Answer('H', titles));
    // From the highlighted item on, round to the start.
    EXPECT_EQ("highlight 3", Answer('h', titles, 1));
    EXPECT_EQ("highlight 1", Answer('h', titles, 3));
    EXPECT_EQ("highlight 1", Answer('h', titles, 4));
    // The only match stays highlighted.
    EXPECT_EQ("highlight 2", Answer('p', titles, 2));
    EXPECT_EQ("highlight 0", Answer('t', titles, 0));
    EXPECT_EQ("none", Answer('z', titles));
    // Only the first byte counts.
    EXPECT_EQ("highlight 4", Answer('e', titles));
}

TEST(MenuKeyActionOf, DoubleByteTitlesAndOtherKeysMatchNothing) {
    // "アB" and "Ａ" (full-width A) in code page 932: their bytes include 'A' (0x41) and 'B'
    // (0x42) only after a lead byte.
    const std::vector<std::string> titles = {"\x83\x41\x42", "\x82\x60", "", " a", "-b", "1st"};
    EXPECT_EQ("none", Answer('a', titles));
    EXPECT_EQ("none", Answer('A', titles));
    EXPECT_EQ("none", Answer('b', titles));
    // A double-byte character as one code, whose low byte is a letter.
    EXPECT_EQ("none", Answer(0x8341, titles));
    EXPECT_EQ("none", Answer(0x8241, {"A"}));
    for (unsigned key : {unsigned(' '), unsigned('-'), unsigned('\r'), 0u, 0xC1u})
        EXPECT_EQ("none", Answer(key, titles)) << key;
    EXPECT_EQ("none", Answer('a', {}));
}

} // namespace
