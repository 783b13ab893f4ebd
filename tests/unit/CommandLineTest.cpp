#include "core/LaunchLine.h"

#include "Cp932.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Counts as a single-byte code page would.
std::size_t Units(std::wstring_view text) {
    return text.size();
}

TEST(AssembleLaunchLine, QuotesTheFileAfterCommandAndParameters) {
    std::wstring line;
    ASSERT_TRUE(
        AssembleLaunchLine(L"C:\\tools\\hexdump.exe", L"/r", L"C:\\mail\\12.txt ", Units, line));
    EXPECT_EQ(line, L"C:\\tools\\hexdump.exe /r \"C:\\mail\\12.txt \"");

    ASSERT_TRUE(AssembleLaunchLine(L"\"C:\\my tools\\v.exe\" -a %1", L"-b", L"x", Units, line));
    EXPECT_EQ(line, L"\"C:\\my tools\\v.exe\" -a %1 -b \"x\"");
}

TEST(AssembleLaunchLine, EmptyPartsKeepTheirSeparators) {
    std::wstring line;
    ASSERT_TRUE(AssembleLaunchLine(L"view.exe", L"", L"a.txt ", Units, line));
    EXPECT_EQ(line, L"view.exe  \"a.txt \"");
    ASSERT_TRUE(AssembleLaunchLine(L"", L"", L"", Units, line));
    EXPECT_EQ(line, L"  \"\"");
}

TEST(AssembleLaunchLine, RefusesLinesLongerThan259WithoutCutting) {
    std::wstring line;
    // Every part counts: 100 + 100 + 55 characters and four of punctuation make 259.
    ASSERT_TRUE(AssembleLaunchLine(std::wstring(100, L'c'), std::wstring(100, L'p'),
                                   std::wstring(55, L'f'), Units, line));
    EXPECT_EQ(line.size(), maxLaunchLine);
    EXPECT_EQ(line.size(), 259u);

    const std::wstring previous = line;
    EXPECT_FALSE(AssembleLaunchLine(std::wstring(101, L'c'), std::wstring(100, L'p'),
                                    std::wstring(55, L'f'), Units, line));
    EXPECT_FALSE(AssembleLaunchLine(std::wstring(100, L'c'), std::wstring(101, L'p'),
                                    std::wstring(55, L'f'), Units, line));
    EXPECT_FALSE(AssembleLaunchLine(std::wstring(100, L'c'), std::wstring(100, L'p'),
                                    std::wstring(56, L'f'), Units, line));
    EXPECT_FALSE(AssembleLaunchLine(std::wstring(259, L'c'), L"", L"", Units, line));
    EXPECT_EQ(line, previous);

    ASSERT_TRUE(AssembleLaunchLine(std::wstring(255, L'c'), L"", L"", Units, line));
    EXPECT_EQ(line, std::wstring(255, L'c') + L"  \"\"");
}

TEST(AssembleLaunchLine, CountsTheLineInTheAnsiCodePageToo) {
    std::wstring line;
    // 4 of punctuation, 127 double-byte characters and 1: 259 bytes, 132 units.
    ASSERT_TRUE(
        AssembleLaunchLine(std::wstring(127, L'\u8868'), L"", L"a", DoubleByteLength, line));
    EXPECT_FALSE(
        AssembleLaunchLine(std::wstring(127, L'\u8868'), L"", L"ab", DoubleByteLength, line));
}

// A stored value goes onto a launch line up to its first zero, or is refused whole.
TEST(LaunchValueOf, TakesTheTextOfAValueThatFitsAndRefusesOneTooLong) {
    using Stored = std::wstring;
    for (const auto& [stored, length, expected] :
         std::vector<std::tuple<Stored, AnsiLengthFunction, std::optional<Stored>>>{
             {Stored(L"view.exe\0", 9), Units, L"view.exe"},
             {L"view.exe", Units, L"view.exe"}, // stored without a terminator
             {Stored(L"a\0junk\0", 7), Units, L"a"},
             {L"", Units, L""},
             // An ANSI reader's buffer of 260 bytes takes 259 and the terminator.
             {Stored(259, L'c') + L'\0', Units, Stored(259, L'c')},
             {Stored(260, L'c') + L'\0', Units, std::nullopt},
             {Stored(259, L'c'), Units, Stored(259, L'c')},
             // The stored value counts whole, also past its first zero.
             {L"a" + Stored(260, L'\0'), Units, std::nullopt},
             {Stored(129, L'\u8868') + L'a' + L'\0', DoubleByteLength,
              Stored(129, L'\u8868') + L'a'},
             {Stored(130, L'\u8868') + L'\0', DoubleByteLength, std::nullopt},
         }) {
        EXPECT_EQ(expected, LaunchValueOf(stored, length)) << stored.size();
    }
}

} // namespace
