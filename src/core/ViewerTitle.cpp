#include "core/ViewerTitle.h"

bool IsStorableTitle(std::wstring_view title) {
    return !title.empty() && title.size() <= maxTitleChars &&
           title.find_first_of(std::wstring_view(L"\\\0", 2)) == std::wstring_view::npos;
}

std::wstring FoldedTitle(std::wstring_view title, UpperCaseFunction upperCase) {
    return upperCase(title);
}

bool SameTitle(std::wstring_view a, std::wstring_view b, UpperCaseFunction upperCase) {
    if (a.size() != b.size())
        return false; // each folds to a text as long as itself
    return a == b || FoldedTitle(a, upperCase) == FoldedTitle(b, upperCase);
}
