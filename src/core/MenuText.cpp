#include "core/MenuText.h"

std::string MenuItemText(std::string_view title, int number) {
    std::string text;
    text.reserve(title.size() + 2);
    for (char c : title) {
        if (c == '\t' || c == '\b') {
            text += ' ';
            continue;
        }
        text += c;
        if (c == '&')
            text += '&';
    }
    if (number >= 1 && number <= 9) {
        text += '\t';
        text += static_cast<char>('0' + number);
    }
    return text;
}
