#pragma once
// The command line with which a chosen viewer is started (not to be confused with this
// process's own arguments, which make the hand-off text).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/HandoffText.h"

// Longest command line a launch builds: MAX_PATH (260) less the terminator, in UTF-16 units
// and in ANSI bytes alike.
constexpr std::size_t maxLaunchLine = 259;

// Whether `text` stays within maxLaunchLine both as UTF-16 units and as bytes of the ANSI code
// page (so that an ANSI viewer reads its command line whole). On code page 932 the bytes bind.
bool FitsLaunchLine(std::wstring_view text, AnsiLengthFunction ansiLength);

// A viewer's value for a launch line, from the value as stored (with the terminator it was
// stored with, if any, and whatever follows a zero in it): its text up to the first zero. None
// when the value is too long for a launch, which refuses it rather than cut it: when an ANSI
// reader's buffer of MAX_PATH bytes cannot take the stored value whole with its terminator, or
// when its text does not fit a launch line (FitsLaunchLine).
std::optional<std::wstring> LaunchValueOf(std::wstring_view stored, AnsiLengthFunction ansiLength);

// Sets out to: command, one space, parameters, a space and a double quote, file, a double quote
// (so empty parameters leave two spaces before the quote). Command and parameters are used as
// they are. Returns false and leaves out unchanged when the result does not fit the limit
// (FitsLaunchLine): a cut line could start the viewer on the wrong file.
bool AssembleLaunchLine(std::wstring_view command, std::wstring_view parameters,
                        std::wstring_view file, AnsiLengthFunction ansiLength, std::wstring& out);

// Whether a hand-off text can be given to a viewer: a file name never holds a double quote, and
// one in the text would end the quoted file name early and smuggle arguments onto the line.
bool IsLaunchableFile(std::wstring_view file);
