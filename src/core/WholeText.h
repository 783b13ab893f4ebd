#pragma once
// Cutting UTF-16 text to a buffer's size without parting a character.

#include <cstddef>
#include <string_view>

// The longest start of `text` of at most `limit` UTF-16 units that does not end between the
// two halves of a surrogate pair.
inline std::wstring_view CutWhole(std::wstring_view text, std::size_t limit) {
    if (text.size() <= limit)
        return text;
    const bool partsPair = limit > 0 && text[limit - 1] >= 0xD800 && text[limit - 1] <= 0xDBFF;
    return text.substr(0, partsPair ? limit - 1 : limit);
}
