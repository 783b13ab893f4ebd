#include "core/ViewerTitle.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// A stand-in for the system's upper-casing that counts its calls: ASCII letters, and the
// full-width ones as the invariant locale upper-cases them.
int upperCasings = 0;
std::wstring UpperCase(std::wstring_view text) {
    ++upperCasings;
    std::wstring upper(text);
    for (wchar_t& c : upper)
        if ((c >= L'a' && c <= L'z') || (c >= L'\uFF41' && c <= L'\uFF5A'))
            c = static_cast<wchar_t>(c - 0x20);
    return upper;
}

TEST(IsStorableTitle, TakesTitlesThatNameOneKeyOfTheirOwn) {
    for (const auto& [title, storable] : std::vector<std::pair<std::wstring, bool>>{
             {L"Text", true},
             {std::wstring(maxTitleChars, L'x'), true},
             // Counted in UTF-16 units, not in bytes of a code page.
             {std::wstring(maxTitleChars, L'\u30A2'), true},
             {std::wstring(maxTitleChars + 1, L'x'), false},
             {L"", false},
             {L"a\\b", false},
             {std::wstring(L"a\0b", 3), false},
         }) {
        EXPECT_EQ(storable, IsStorableTitle(title)) << title.size();
    }
}

TEST(SameTitle, IsEqualityOnceUpperCased) {
    for (const auto& [a, b, same] : std::vector<std::tuple<std::wstring, std::wstring, bool>>{
             {L"Text", L"Text", true},
             {L"text", L"TEXT", true},
             {L"\uFF41b", L"\uFF21B", true},
             {L"text", L"texts", false},
             {L"text", L"tekst", false},
             {L"", L"", true},
         }) {
        EXPECT_EQ(same, SameTitle(a, b, UpperCase));
        EXPECT_EQ(same, SameTitle(b, a, UpperCase));
    }
    EXPECT_EQ(L"TEXT \uFF21", FoldedTitle(L"text \uFF41", UpperCase));
}

TEST(FindTitle, PrefersTheSameUnitsAndFoldsOnlyWithoutThem) {
    const std::vector<std::wstring> titles = {L"Alpha", L"BETA", L"beta", L"Gamma"};
    const auto titleOf = [](const std::wstring& title) -> const std::wstring& { return title; };
    const auto find = [&](const std::wstring& title) {
        return FindTitle(titles.begin(), titles.end(), title, titleOf, UpperCase) - titles.begin();
    };
    upperCasings = 0;
    EXPECT_EQ(2, find(L"beta"));
    EXPECT_EQ(3, find(L"Gamma"));
    EXPECT_EQ(0, upperCasings);
    // Without the same units: the first that folds to the same.
    EXPECT_EQ(1, find(L"Beta"));
    EXPECT_EQ(0, find(L"ALPHA"));
    EXPECT_EQ(4, find(L"Delta"));
    EXPECT_EQ(titles.begin(),
              FindTitle(titles.begin(), titles.begin(), L"Alpha", titleOf, UpperCase));
}

} // namespace
