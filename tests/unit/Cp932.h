#pragma once
// The lead bytes of code page 932 (Shift JIS), for the native tests and fuzzers of the pure
// logic, which run without the system's code page: 0x81 to 0x9F and 0xE0 to 0xFC.

inline bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
