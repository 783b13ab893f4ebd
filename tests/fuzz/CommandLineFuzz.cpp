// Fuzz target: AssembleLaunchLine. The input holds the three parts, each ended by a zero byte:
// command, parameters, then the file name (the rest); each byte is one UTF-16 unit. Missing
// parts are empty. In the program none of them can hold a zero unit (registry strings and an
// atom's name); the function does not look at the units, so the file name may. The ANSI length
// counts a unit above 0x7F as two bytes, as code page 932 does. Each run checks:
//
//  1. The limit is exact. The call succeeds exactly when command, space, parameters, space,
//     quote, file name, quote make at most maxLaunchLine (259) units and ANSI bytes.
//  2. Success gives exactly that line, whatever `out` held before, and its file name can be
//     read back from the end: the last two quotes hold the file name unchanged.
//  3. Refusal leaves `out` as it was, byte for byte.

#include "core/LaunchLine.h"

#include "../unit/Cp932.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The next part of `rest`: up to its first zero byte, which is dropped; all of it when it has
// none or when `last`.
std::wstring_view TakePart(std::wstring_view& rest, bool last) {
    const std::size_t end = last ? std::wstring_view::npos : rest.find(L'\0');
    if (end == std::wstring_view::npos) {
        std::wstring_view part = rest;
        rest = {};
        return part;
    }
    std::wstring_view part = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring input(data, data + size);
    std::wstring_view rest(input);
    const std::wstring_view command = TakePart(rest, false);
    const std::wstring_view parameters = TakePart(rest, false);
    const std::wstring_view file = TakePart(rest, true);

    std::wstring expected;
    expected.append(command).append(L" ").append(parameters).append(L" \"");
    expected.append(file).append(L"\"");

    // Something `out` held before: a line of an earlier launch, of a length of its own.
    const std::wstring before = L"previous.exe /x \"" + std::wstring(size % 300, L'b') + L"\"";
    std::wstring out = before;
    const bool assembled = AssembleLaunchLine(command, parameters, file, DoubleByteLength, out);

    FUZZ_CHECK(assembled ==
               (expected.size() <= maxLaunchLine && DoubleByteLength(expected) <= maxLaunchLine));
    if (assembled) {
        FUZZ_CHECK(out == expected);
        FUZZ_CHECK(out.size() <= maxLaunchLine);
        FUZZ_CHECK(out.size() >= file.size() + 2);
        FUZZ_CHECK(out.back() == L'"');
        FUZZ_CHECK(out.compare(out.size() - file.size() - 2, 1, L"\"") == 0);
        FUZZ_CHECK(out.compare(out.size() - file.size() - 1, file.size(), file) == 0);
        FUZZ_CHECK(out.compare(0, command.size(), command) == 0);
    } else {
        FUZZ_CHECK(out == before);
    }
    return 0;
}
