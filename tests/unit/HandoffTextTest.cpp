#include "core/HandoffText.h"

#include "Cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

Args Split(std::string_view line) {
    return SplitArguments(line, IsCp932LeadByte);
}

bool NoLeadBytes(unsigned char) {
    return false;
}

// Byte escapes rather than literals: the Windows build re-encodes string literals to CP932.
// "\x95\x5C" is 表, whose second byte is a backslash.
const std::string hyou = "\x95\x5C";

TEST(IsCp932LeadByte, AcceptsExactlyTheTwoLeadRanges) {
    for (unsigned char lead : {0x81, 0x9F, 0xE0, 0xFC})
        EXPECT_TRUE(IsCp932LeadByte(lead)) << int(lead);
    for (unsigned char other : {0x00, 0x22, 0x5C, 0x80, 0xA0, 0xB1, 0xDF, 0xFD, 0xFF})
        EXPECT_FALSE(IsCp932LeadByte(other)) << int(other);
}

TEST(SplitArguments, SeparatesAtUnquotedBlanks) {
    EXPECT_EQ(Split("prog a b"), (Args{"a", "b"}));
    EXPECT_EQ(Split("prog \t a \t\t b"), (Args{"a", "b"}));
    EXPECT_EQ(Split("prog\ta\tb"), (Args{"a", "b"}));
    EXPECT_EQ(Split("prog a b  \t "), (Args{"a", "b"}));
    EXPECT_EQ(Split("prog C:\\my   mail\\a.txt"), (Args{"C:\\my", "mail\\a.txt"}));
    EXPECT_EQ(Split("prog"), Args{});
    EXPECT_EQ(Split("prog   "), Args{});
    EXPECT_EQ(Split(""), Args{});
}

TEST(SplitArguments, QuotesProtectBlanksAndAreRemoved) {
    EXPECT_EQ(Split("prog ab \"cd ef\""), (Args{"ab", "cd ef"}));
    EXPECT_EQ(Split("prog \"a\tb\" c"), (Args{"a\tb", "c"}));
    EXPECT_EQ(Split("prog a\"b c\"d e"), (Args{"ab cd", "e"}));
    EXPECT_EQ(Split("prog \"a b\"\"\""), (Args{"a b\""}));
    EXPECT_EQ(Split("prog \"unterminated  x"), (Args{"unterminated  x"}));
}

TEST(SplitArguments, BackslashesBeforeAQuote) {
    // 2n backslashes: n of them, and the quote toggles quoting.
    EXPECT_EQ(Split("prog a\\\\\"b c\" d"), (Args{"a\\b c", "d"}));
    EXPECT_EQ(Split("prog \\\\\\\\\"a b\""), (Args{"\\\\a b"}));
    EXPECT_EQ(Split("prog \"C:\\dir\\\\\" x"), (Args{"C:\\dir\\", "x"}));
    // 2n+1 backslashes: n of them and a literal quote; quoting is unchanged.
    EXPECT_EQ(Split("prog a\\\"b c"), (Args{"a\"b", "c"}));
    EXPECT_EQ(Split("prog a\\\\\\\"b c"), (Args{"a\\\"b", "c"}));
    EXPECT_EQ(Split("prog \"a\\\" b\" c"), (Args{"a\" b", "c"}));
}

TEST(SplitArguments, BackslashesElsewhereAreLiteral) {
    EXPECT_EQ(Split("prog C:\\mail\\12.txt"), (Args{"C:\\mail\\12.txt"}));
    EXPECT_EQ(Split("prog \\\\server\\\\share a\\\\"), (Args{"\\\\server\\\\share", "a\\\\"}));
    EXPECT_EQ(Split("prog \"a\\b c\\\\\\ d\""), (Args{"a\\b c\\\\\\ d"}));
    EXPECT_EQ(Split("prog \\ \\\t\\"), (Args{"\\", "\\", "\\"}));
}

TEST(SplitArguments, DoubledQuoteInsideQuotesGivesAQuoteAndEndsQuoting) {
    EXPECT_EQ(Split("prog \"a\"\"b c\""), (Args{"a\"b", "c"}));
    EXPECT_EQ(Split("prog \"\"\"a b\""), (Args{"\"a", "b"}));
    EXPECT_EQ(Split("prog \"\"\"\""), (Args{"\""}));
    EXPECT_EQ(Split("prog \"a\\\\\"\"b c"), (Args{"a\\\"b", "c"}));
}

TEST(SplitArguments, EmptyQuotedArgumentsAreKept) {
    EXPECT_EQ(Split("prog \"\""), (Args{""}));
    EXPECT_EQ(Split("prog a \"\" b"), (Args{"a", "", "b"}));
    EXPECT_EQ(Split("prog \"\"\t\"\"  "), (Args{"", ""}));
}

TEST(SplitArguments, ProgramNameIsSkipped) {
    // Quoted: up to the next quote, with no escapes, and may contain blanks.
    EXPECT_EQ(Split("\"C:\\Program Files\\Brindle\\brindle.exe\" a"), (Args{"a"}));
    EXPECT_EQ(Split("\"C:\\my dir\\\" a b"), (Args{"a", "b"}));
    EXPECT_EQ(Split("\"prog\"x y"), (Args{"x", "y"}));
    EXPECT_EQ(Split("\"prog\"\"a b\""), (Args{"a b"}));
    EXPECT_EQ(Split("\"prog a b"), Args{});
    // Unquoted: up to the first blank, quotes and all.
    EXPECT_EQ(Split("C:\\my dir\\prog.exe"), (Args{"dir\\prog.exe"}));
    EXPECT_EQ(Split("prog\"a b\" c"), (Args{"b c"}));
    EXPECT_EQ(Split("prog\\\" a"), (Args{"a"}));
    EXPECT_EQ(Split("  a b"), (Args{"a", "b"}));
}

TEST(SplitArguments, DoubleByteCharactersAreTakenWhole) {
    // 表 followed by a quote: its second byte does not escape the quote.
    EXPECT_EQ(Split("prog " + hyou + "\"a b\""), (Args{hyou + "a b"}));
    EXPECT_EQ(Split("prog \"x" + hyou + "\" y"), (Args{"x" + hyou, "y"}));
    EXPECT_EQ(Split("prog C:\\" + hyou + "\\" + hyou + ".txt"),
              (Args{"C:\\" + hyou + "\\" + hyou + ".txt"}));
    EXPECT_EQ(Split("prog \\" + hyou + "\"a b\""), (Args{"\\" + hyou + "a b"}));
    // Second bytes that would otherwise be a quote, a space or a tab.
    EXPECT_EQ(Split("prog \x81\" a"), (Args{"\x81\"", "a"}));
    EXPECT_EQ(Split("prog a\x81 b\x81\tc"), (Args{"a\x81 b\x81\tc"}));
    EXPECT_EQ(Split("\"\x81\"x\" a"), (Args{"a"}));
    EXPECT_EQ(Split("\x81 x a"), (Args{"a"}));
}

TEST(SplitArguments, LeadByteAtTheEndIsTakenAlone) {
    EXPECT_EQ(Split("prog a\x95"), (Args{"a\x95"}));
    EXPECT_EQ(Split("prog \"\x95"), (Args{"\x95"}));
    EXPECT_EQ(Split("\x95"), Args{});
}

TEST(SplitArguments, LeadBytesAreWhatThePredicateSays) {
    const std::string line = "prog " + hyou + "\"a b\"";
    EXPECT_EQ(SplitArguments(line, NoLeadBytes), (Args{"\x95\"a", "b"}));
}

TEST(JoinHandoffText, PutsOneSpaceAfterEveryArgument) {
    const std::string text = JoinHandoffText(Split("prog.exe ab \"cd ef\""));
    EXPECT_EQ(text, "ab cd ef ");
    EXPECT_EQ(text.size(), 9u);
    EXPECT_EQ(JoinHandoffText(Split("prog.exe C:\\mail\\12.txt")), "C:\\mail\\12.txt ");
    EXPECT_EQ(JoinHandoffText(Split("prog.exe C:\\my   mail\\a.txt")), "C:\\my mail\\a.txt ");
    EXPECT_EQ(JoinHandoffText(Split("prog.exe a\t \tb")), "a b ");
    EXPECT_EQ(JoinHandoffText({""}), " ");
    EXPECT_EQ(JoinHandoffText({}), "");
}

} // namespace
