#pragma once
// The command line with which a chosen viewer is started (not to be confused with this
// process's own arguments, which make the hand-off text).

#include <cstddef>
#include <string>
#include <string_view>

// Longest command line a launch builds: it is assembled in a 260-byte buffer.
constexpr std::size_t maxLaunchLine = 259;

// Sets out to: command, one space, parameters, a space and a double quote, file, a double quote
// (so empty parameters leave two spaces before the quote). Command and parameters are used as
// they are. Returns false and leaves out unchanged when the result would be longer than
// maxLaunchLine: a cut line could start the viewer on the wrong file.
bool AssembleLaunchLine(std::string_view command, std::string_view parameters,
                        std::string_view file, std::string& out);

// Whether a hand-off text can be given to a viewer: a file name never holds a double quote, and
// one in the text would end the quoted file name early and smuggle arguments onto the line.
bool IsLaunchableFile(std::string_view file);
