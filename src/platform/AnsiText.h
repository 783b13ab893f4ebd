#pragma once
// Texts as the system's ANSI code page holds them: what an ANSI program on the same system
// (an earlier Brindle, a viewer) reads of a text that Brindle passes on in UTF-16.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The number of bytes `text` takes in the ANSI code page; a character that the code page
// lacks counts as the replacement it gets.
std::size_t AnsiLength(std::wstring_view text);

// `text` of the ANSI code page in UTF-16.
std::wstring WideFromAnsi(std::string_view text);

} // namespace platform
