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

std::string Answer(unsigned key, const std::vector<std::wstring>& titles, int highlighted = -1) {
    return Describe(MenuKeyActionOf(key, titles, highlighted));
}

TEST(MenuKeyActionOf, NumberKeysChooseTheFirstNineItems) {
    std::vector<std::wstring> titles;
    for (int i = 0; i < 12; ++i)
        titles.push_back(L"Viewer " + std::to_wstring(i));
    EXPECT_EQ("choose 0", Answer('1', titles));
    EXPECT_EQ("choose 8", Answer('9', titles, 3));
    EXPECT_EQ("none", Answer('0', titles));
    EXPECT_EQ("choose 1", Answer('2', {L"a", L"b"}));
    EXPECT_EQ("none", Answer('3', {L"a", L"b"}));
    EXPECT_EQ("none", Answer('1', {}));
}

TEST(MenuKeyActionOf, ALetterHighlightsTheNextTitleThatStartsWithItInEitherCase) {
    const std::vector<std::wstring> titles = {L"Text", L"hex", L"Plain", L"Hexdump", L"editor"};
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
    // "アB" and "Ａ" (full-width A); "Ａ" (U+FF21) has 'A' (0x21 + 0x20) in no byte of its own.
    const std::vector<std::wstring> titles = {L"\u30A2B", L"\uFF21", L"", L" a", L"-b", L"1st"};
    EXPECT_EQ("none", Answer('a', titles));
    EXPECT_EQ("none", Answer('A', titles));
    EXPECT_EQ("none", Answer('b', titles));
    // A character whose low byte is a letter.
    EXPECT_EQ("none", Answer(0x0141, titles));
    EXPECT_EQ("none", Answer(0xFF41, {L"A"}));
    for (unsigned key : {unsigned(' '), unsigned('-'), unsigned('\r'), 0u, 0xC1u})
        EXPECT_EQ("none", Answer(key, titles)) << key;
    EXPECT_EQ("none", Answer('a', {}));
}

} // namespace
