#include "core/MenuText.h"

std::wstring MenuItemText(std::wstring_view title, int number) {
    std::wstring text;
    text.reserve(title.size() + 2);
    for (wchar_t c : title) {
        if (c == L'\t' || c == L'\b') {
            text += L' ';
            continue;
        }
        text += c;
        if (c == L'&')
            text += L'&';
    }
    if (number >= 1 && number <= 9) {
        text += L'\t';
        text += static_cast<wchar_t>(L'0' + number);
    }
    return text;
}
