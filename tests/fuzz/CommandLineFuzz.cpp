// Fuzz target: AssembleLaunchLine. The input holds the three parts, each ended by a zero byte:
// command, parameters, then the file name (the rest). Missing parts are empty. In the program
// none of them can hold a zero byte (registry strings and an atom's name); the function does
// not look at the bytes, so the file name may. Each run checks:
//
//  1. The limit is exact. The call succeeds exactly when command, space, parameters, space,
//     quote, file name, quote make at most maxLaunchLine (259) bytes.
//  2. Success gives exactly that line, whatever `out` held before, and its file name can be
//     read back from the end: the last two quotes hold the file name unchanged.
//  3. Refusal leaves `out` as it was, byte for byte.

#include "core/LaunchLine.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The next part of `rest`: up to its first zero byte, which is dropped; all of it when it has
// none or when `last`.
std::string_view TakePart(std::string_view& rest, bool last) {
    const std::size_t end = last ? std::string_view::npos : rest.find('\0');
    if (end == std::string_view::npos) {
        std::string_view part = rest;
        rest = {};
        return part;
    }
    std::string_view part = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view command = TakePart(rest, false);
    const std::string_view parameters = TakePart(rest, false);
    const std::string_view file = TakePart(rest, true);

    std::string expected;
    expected.append(command).append(" ").append(parameters).append(" \"");
    expected.append(file).append("\"");

    // Something `out` held before: a line of an earlier launch, of a length of its own.
    const std::string before = "previous.exe /x \"" + std::string(size % 300, 'b') + "\"";
    std::string out = before;
    const bool assembled = AssembleLaunchLine(command, parameters, file, out);

    FUZZ_CHECK(assembled == (expected.size() <= maxLaunchLine));
    if (assembled) {
        FUZZ_CHECK(out == expected);
        FUZZ_CHECK(out.size() <= maxLaunchLine);
        FUZZ_CHECK(out.size() >= file.size() + 2);
        FUZZ_CHECK(out.back() == '"');
        FUZZ_CHECK(out.compare(out.size() - file.size() - 2, 1, "\"") == 0);
        FUZZ_CHECK(out.compare(out.size() - file.size() - 1, file.size(), file) == 0);
        FUZZ_CHECK(out.compare(0, command.size(), command) == 0);
    } else {
        FUZZ_CHECK(out == before);
    }
    return 0;
}
