#include "core/MenuKeys.h"

namespace {

unsigned char LowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool IsAsciiLetter(unsigned key) {
    return (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
}

} // namespace

MenuKeyAction MenuKeyActionOf(unsigned key, std::span<const std::wstring> titles, int highlighted) {
    if (key >= '1' && key <= '9') {
        const std::size_t item = key - '1';
        if (item < titles.size())
            return {MenuKeyAction::Kind::Choose, item};
        return {};
    }
    if (!IsAsciiLetter(key) || titles.empty())
        return {};
    const unsigned char letter = LowerAscii(static_cast<unsigned char>(key));
    const std::size_t count = titles.size();
    const std::size_t first =
        highlighted >= 0 && static_cast<std::size_t>(highlighted) < count ? highlighted + 1 : 0;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t item = (first + step) % count;
        const std::wstring& title = titles[item];
        if (!title.empty() && title[0] <= 0x7F &&
            LowerAscii(static_cast<unsigned char>(title[0])) == letter)
            return {MenuKeyAction::Kind::Highlight, item};
    }
    return {};
}
