#pragma once
// The hand-off text: the arguments a mail client passed to Brindle, put back together into the
// one string that travels to the resident instance as a global atom's name.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Longest name a global atom can have, and so the longest hand-off text that can be handed over.
constexpr std::size_t maxAtomText = 255;

// The number of bytes `text` takes in the system's ANSI code page (a character the code page
// lacks counts as its replacement). What an ANSI program on the same system reads of a text
// is that long.
using AnsiLengthFunction = std::size_t (*)(std::wstring_view text);

// Whether `text` can be handed over: at most maxAtomText UTF-16 units (what an atom holds) and
// at most maxAtomText bytes in the ANSI code page, so that an earlier ANSI version of Brindle
// reads it whole. On code page 932 the second count is the one that binds.
bool FitsHandoff(std::wstring_view text, AnsiLengthFunction ansiLength);

// The arguments after the program name, split by the classic rules of the C runtime: unquoted
// spaces and tabs separate arguments; 2n backslashes and a double quote give n backslashes and
// toggle quoting, 2n+1 give n backslashes and a literal quote; inside quotes a doubled quote
// gives one literal quote and ends the quoted part; other backslashes are literal. Every other
// UTF-16 unit, an unpaired surrogate too, is taken as it is. The program name runs to the next
// quote when the line starts with one, else to the first space or tab. `""` is an empty
// argument; trailing blanks are not.
std::vector<std::wstring> SplitArguments(std::wstring_view commandLine);

// Every argument followed by one space, the last one included: a file name with spaces that
// arrived unquoted comes back with one space for each run of blanks.
std::wstring JoinHandoffText(const std::vector<std::wstring>& args);
