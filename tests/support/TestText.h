#pragma once
// The tests' texts are in code page 932, the build's execution character set, whatever the ANSI
// code page of the system they run on: what they pass to and read from the system is converted
// explicitly, so that the same tests run under code pages 1252 and 936 too.

#include <string>
#include <string_view>

namespace testsupport {

// A text of the tests in UTF-16.
std::wstring WideOf(std::string_view cp932);
// A UTF-16 text as the tests write it: in code page 932 (each character it lacks replaced).
std::string Cp932Of(std::wstring_view wide);

} // namespace testsupport
