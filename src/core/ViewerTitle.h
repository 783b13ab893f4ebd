#pragma once
// The rules for a viewer's title, which names its key in the registry: which titles can be
// stored, and when two titles name the same viewer. The registry takes two key names for the
// same when they are equal once each is upper-cased letter by letter, as the system upper-cases
// in its invariant locale; that upper-casing is the system's, so the platform gives it
// (platform::InvariantUpperCase) and the store binds it for everyone (store/ViewerTitles.h).

#include <algorithm>
#include <string>
#include <string_view>

// `text` upper-cased letter by letter, as long as `text`.
using UpperCaseFunction = std::wstring (*)(std::wstring_view text);

// The registry's limit on a key name, in UTF-16 units.
constexpr int maxTitleChars = 255;

// Whether `title` can name a key of its own below `Menus`: not empty, no backslash (which
// would nest keys) or zero, at most `maxTitleChars` units.
bool IsStorableTitle(std::wstring_view title);

// `title` as the registry compares key names: upper-cased by `upperCase`.
std::wstring FoldedTitle(std::wstring_view title, UpperCaseFunction upperCase);

// Whether `a` and `b` name the same viewer: the same once folded. Titles of the same units
// are the same, and titles of different lengths are not, without folding either.
bool SameTitle(std::wstring_view a, std::wstring_view b, UpperCaseFunction upperCase);

// The first item of [first, last) whose title (`titleOf(item)`) names the same viewer as
// `title`, or `last`. The same units are looked for first, and the titles are folded only when
// no title has them: a title taken from a list of a thousand is found without folding any.
template <class Iterator, class TitleOf>
Iterator FindTitle(Iterator first, Iterator last, std::wstring_view title, TitleOf titleOf,
                   UpperCaseFunction upperCase) {
    const Iterator same = std::find_if(
        first, last, [&](const auto& item) { return std::wstring_view(titleOf(item)) == title; });
    if (same != last)
        return same;
    const std::wstring folded = FoldedTitle(title, upperCase);
    return std::find_if(first, last, [&](const auto& item) {
        return FoldedTitle(titleOf(item), upperCase) == folded;
    });
}
