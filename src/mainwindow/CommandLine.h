#pragma once
// The command line with which a chosen viewer is started.

#include <cstddef>
#include <string>
#include <string_view>

// Longest command line a launch builds: it is assembled in a 260-byte buffer.
constexpr std::size_t maxCommandLine = 259;

// Sets out to: command, one space, parameters, a space and a double quote, file, a double quote
// (so empty parameters leave two spaces before the quote). Command and parameters are used as
// they are. Returns false and leaves out unchanged when the result would be longer than
// maxCommandLine: a cut line could start the viewer on the wrong file.
bool AssembleCommandLine(std::string_view command, std::string_view parameters,
                         std::string_view file, std::string& out);
