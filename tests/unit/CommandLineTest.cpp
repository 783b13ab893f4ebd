#include "core/LaunchLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AssembleLaunchLine, QuotesTheFileAfterCommandAndParameters) {
    std::string line;
    ASSERT_TRUE(AssembleLaunchLine("C:\\tools\\hexdump.exe", "/r", "C:\\mail\\12.txt ", line));
    EXPECT_EQ(line, "C:\\tools\\hexdump.exe /r \"C:\\mail\\12.txt \"");

    ASSERT_TRUE(AssembleLaunchLine("\"C:\\my tools\\v.exe\" -a %1", "-b", "x", line));
    EXPECT_EQ(line, "\"C:\\my tools\\v.exe\" -a %1 -b \"x\"");
}

TEST(AssembleLaunchLine, EmptyPartsKeepTheirSeparators) {
    std::string line;
    ASSERT_TRUE(AssembleLaunchLine("view.exe", "", "a.txt ", line));
    EXPECT_EQ(line, "view.exe  \"a.txt \"");
    ASSERT_TRUE(AssembleLaunchLine("", "", "", line));
    EXPECT_EQ(line, "  \"\"");
}

TEST(AssembleLaunchLine, RefusesLinesLongerThan259WithoutCutting) {
    std::string line;
    // Every part counts: 100 + 100 + 55 characters and four of punctuation make 259.
    ASSERT_TRUE(AssembleLaunchLine(std::string(100, 'c'), std::string(100, 'p'),
                                   std::string(55, 'f'), line));
    EXPECT_EQ(line.size(), maxLaunchLine);
    EXPECT_EQ(line.size(), 259u);

    const std::string previous = line;
    EXPECT_FALSE(AssembleLaunchLine(std::string(101, 'c'), std::string(100, 'p'),
                                    std::string(55, 'f'), line));
    EXPECT_FALSE(AssembleLaunchLine(std::string(100, 'c'), std::string(101, 'p'),
                                    std::string(55, 'f'), line));
    EXPECT_FALSE(AssembleLaunchLine(std::string(100, 'c'), std::string(100, 'p'),
                                    std::string(56, 'f'), line));
    EXPECT_FALSE(AssembleLaunchLine(std::string(259, 'c'), "", "", line));
    EXPECT_EQ(line, previous);

    ASSERT_TRUE(AssembleLaunchLine(std::string(255, 'c'), "", "", line));
    EXPECT_EQ(line, std::string(255, 'c') + "  \"\"");
}

} // namespace
