#pragma once
// Code page 932 (Shift JIS) for the native tests and fuzzers of the pure logic, which run
// without the system's code page: its lead bytes (0x81 to 0x9F and 0xE0 to 0xFC), and a stand-in
// for the length of a text in it.

#include <cstddef>
#include <string_view>

// The length of `text` in bytes as a stand-in for code page 932 counts it: a unit above 0x7F
// takes two bytes (as kanji and kana do), the others one.
inline std::size_t DoubleByteLength(std::wstring_view text) {
    std::size_t bytes = 0;
    for (wchar_t c : text)
        bytes += c > 0x7F ? 2 : 1;
    return bytes;
}

inline bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
