#pragma once
// The hand-off text: the arguments a mail client passed to Brindle, put back together into the
// one string that travels to the resident instance as a global atom's name.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Longest name a global atom can have, and so the longest hand-off text that can be handed over.
constexpr std::size_t maxAtomText = 255;

// Tells whether a byte starts a double-byte character of the ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char);

// The arguments after the program name, split by the classic rules of the C runtime: unquoted
// spaces and tabs separate arguments; 2n backslashes and a double quote give n backslashes and
// toggle quoting, 2n+1 give n backslashes and a literal quote; inside quotes a doubled quote
// gives one literal quote and ends the quoted part; other backslashes are literal. A lead byte
// (per isLeadByte) is taken together with the byte after it, so that byte never acts as a
// separator, quote or backslash. The program name runs to the next quote when the line starts
// with one, else to the first space or tab. `""` is an empty argument; trailing blanks are not.
std::vector<std::string> SplitArguments(std::string_view commandLine, LeadBytePredicate isLeadByte);

// Every argument followed by one space, the last one included: a file name with spaces that
// arrived unquoted comes back with one space for each run of blanks.
std::string JoinHandoffText(const std::vector<std::string>& args);
