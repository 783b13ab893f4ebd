// Checks SplitArguments against the system's CommandLineToArgvW on random ASCII lines made of
// the characters that matter to splitting. Wine's CommandLineToArgvW follows the same classic
// rules, a doubled quote inside quotes included (unlike Wine's C runtime), so every line counts.

#include "core/HandoffText.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SystemArguments(const std::string& line) {
    const std::wstring wide(line.begin(), line.end());
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
    std::vector<std::string> args;
    if (argv == nullptr)
        return args;
    for (int i = 1; i < count; ++i) {
        std::string arg;
        for (const wchar_t* c = argv[i]; *c != L'\0'; ++c)
            arg += static_cast<char>(*c);
        args.push_back(arg);
    }
    LocalFree(argv);
    return args;
}

// The line with blanks and quotes made visible, for failure messages.
std::string Visible(const std::string& line) {
    std::string shown;
    for (char c : line)
        shown += c == ' ' ? "_" : c == '\t' ? "<T>" : std::string(1, c);
    return "[" + shown + "]";
}

TEST(ArgvCompare, SplitMatchesCommandLineToArgvW) {
    constexpr int lineCount = 5000;
    constexpr char alphabet[] = {'a', ' ', '\t', '\\', '"'};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> length(0, 20);
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 1);

    int mismatches = 0;
    for (int i = 0; i < lineCount; ++i) {
        std::string line;
        for (int n = length(random); n > 0; --n)
            line += alphabet[pick(random)];
        std::vector<std::string> ours;
        for (const std::wstring& arg : SplitArguments(std::wstring(line.begin(), line.end())))
            ours.emplace_back(arg.begin(), arg.end());
        const auto system = SystemArguments(line);
        if (ours != system && ++mismatches <= 20) {
            ADD_FAILURE() << "line " << Visible(line) << ": ours " << ::testing::PrintToString(ours)
                          << ", system " << ::testing::PrintToString(system);
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << lineCount << " lines";
}

} // namespace
