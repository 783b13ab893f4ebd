#include "core/MenuText.h"

std::string MenuItemText(std::string_view title) {
    std::string text;
    text.reserve(title.size());
    for (char c : title) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}
