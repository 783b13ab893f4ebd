#pragma once
// The one rule for when two titles name the same viewer (core/ViewerTitle.h), with the system's
// invariant upper-casing that the registry compares key names with: the store, the list, the
// menu and the editor all take titles for the same viewer exactly when the registry takes them
// for the same key.

#include <string>
#include <string_view>

#include "core/ViewerTitle.h"
#include "platform/InvariantCase.h"

// `title` as the registry compares key names.
inline std::wstring FoldedTitle(std::wstring_view title) {
    return FoldedTitle(title, platform::InvariantUpperCase);
}

// Whether the registry takes `a` and `b` for the same key name.
inline bool SameTitle(std::wstring_view a, std::wstring_view b) {
    return SameTitle(a, b, platform::InvariantUpperCase);
}

// The first item of [first, last) whose title (`titleOf(item)`) names the same key as `title`,
// or `last`; see FindTitle of core/ViewerTitle.h.
template <class Iterator, class TitleOf>
Iterator FindTitle(Iterator first, Iterator last, std::wstring_view title, TitleOf titleOf) {
    return FindTitle(first, last, title, titleOf, platform::InvariantUpperCase);
}
