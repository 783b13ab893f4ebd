#include "core/HandoffText.h"

#include "Cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;

Args Split(std::wstring_view line) {
    return SplitArguments(line);
}

TEST(SplitArguments, SeparatesAtUnquotedBlanks) {
    EXPECT_EQ(Split(L"prog a b"), (Args{L"a", L"b"}));
    EXPECT_EQ(Split(L"prog \t a \t\t b"), (Args{L"a", L"b"}));
    EXPECT_EQ(Split(L"prog\ta\tb"), (Args{L"a", L"b"}));
    EXPECT_EQ(Split(L"prog a b  \t "), (Args{L"a", L"b"}));
    EXPECT_EQ(Split(L"prog C:\\my   mail\\a.txt"), (Args{L"C:\\my", L"mail\\a.txt"}));
    EXPECT_EQ(Split(L"prog"), Args{});
    EXPECT_EQ(Split(L"prog   "), Args{});
    EXPECT_EQ(Split(L""), Args{});
}

TEST(SplitArguments, QuotesProtectBlanksAndAreRemoved) {
    EXPECT_EQ(Split(L"prog ab \"cd ef\""), (Args{L"ab", L"cd ef"}));
    EXPECT_EQ(Split(L"prog \"a\tb\" c"), (Args{L"a\tb", L"c"}));
    EXPECT_EQ(Split(L"prog a\"b c\"d e"), (Args{L"ab cd", L"e"}));
    EXPECT_EQ(Split(L"prog \"a b\"\"\""), (Args{L"a b\""}));
    EXPECT_EQ(Split(L"prog \"unterminated  x"), (Args{L"unterminated  x"}));
}

TEST(SplitArguments, BackslashesBeforeAQuote) {
    // 2n backslashes: n of them, and the quote toggles quoting.
    EXPECT_EQ(Split(L"prog a\\\\\"b c\" d"), (Args{L"a\\b c", L"d"}));
    EXPECT_EQ(Split(L"prog \\\\\\\\\"a b\""), (Args{L"\\\\a b"}));
    EXPECT_EQ(Split(L"prog \"C:\\dir\\\\\" x"), (Args{L"C:\\dir\\", L"x"}));
    // 2n+1 backslashes: n of them and a literal quote; quoting is unchanged.
    EXPECT_EQ(Split(L"prog a\\\"b c"), (Args{L"a\"b", L"c"}));
    EXPECT_EQ(Split(L"prog a\\\\\\\"b c"), (Args{L"a\\\"b", L"c"}));
    EXPECT_EQ(Split(L"prog \"a\\\" b\" c"), (Args{L"a\" b", L"c"}));
}

TEST(SplitArguments, BackslashesElsewhereAreLiteral) {
    EXPECT_EQ(Split(L"prog C:\\mail\\12.txt"), (Args{L"C:\\mail\\12.txt"}));
    EXPECT_EQ(Split(L"prog \\\\server\\\\share a\\\\"), (Args{L"\\\\server\\\\share", L"a\\\\"}));
    EXPECT_EQ(Split(L"prog \"a\\b c\\\\\\ d\""), (Args{L"a\\b c\\\\\\ d"}));
    EXPECT_EQ(Split(L"prog \\ \\\t\\"), (Args{L"\\", L"\\", L"\\"}));
}

TEST(SplitArguments, DoubledQuoteInsideQuotesGivesAQuoteAndEndsQuoting) {
    EXPECT_EQ(Split(L"prog \"a\"\"b c\""), (Args{L"a\"b", L"c"}));
    EXPECT_EQ(Split(L"prog \"\"\"a b\""), (Args{L"\"a", L"b"}));
    EXPECT_EQ(Split(L"prog \"\"\"\""), (Args{L"\""}));
    EXPECT_EQ(Split(L"prog \"a\\\\\"\"b c"), (Args{L"a\\\"b", L"c"}));
}

TEST(SplitArguments, EmptyQuotedArgumentsAreKept) {
    EXPECT_EQ(Split(L"prog \"\""), (Args{L""}));
    EXPECT_EQ(Split(L"prog a \"\" b"), (Args{L"a", L"", L"b"}));
    EXPECT_EQ(Split(L"prog \"\"\t\"\"  "), (Args{L"", L""}));
}

TEST(SplitArguments, ProgramNameIsSkipped) {
    // Quoted: up to the next quote, with no escapes, and may contain blanks.
    EXPECT_EQ(Split(L"\"C:\\Program Files\\Brindle\\brindle.exe\" a"), (Args{L"a"}));
    EXPECT_EQ(Split(L"\"C:\\my dir\\\" a b"), (Args{L"a", L"b"}));
    EXPECT_EQ(Split(L"\"prog\"x y"), (Args{L"x", L"y"}));
    EXPECT_EQ(Split(L"\"prog\"\"a b\""), (Args{L"a b"}));
    EXPECT_EQ(Split(L"\"prog a b"), Args{});
    // Unquoted: up to the first blank, quotes and all.
    EXPECT_EQ(Split(L"C:\\my dir\\prog.exe"), (Args{L"dir\\prog.exe"}));
    EXPECT_EQ(Split(L"prog\"a b\" c"), (Args{L"b c"}));
    EXPECT_EQ(Split(L"prog\\\" a"), (Args{L"a"}));
    EXPECT_EQ(Split(L"  a b"), (Args{L"a", L"b"}));
}

TEST(SplitArguments, TakesEveryOtherUnitAsItIs) {
    // Japanese, characters that code page 932 lacks (é, 〜), a pair of surrogates and an unpaired
    // one: none of them separates, quotes or escapes.
    EXPECT_EQ(Split(L"prog C:\\\u65E5\u672C\\\u00E9\u301C.txt"),
              (Args{L"C:\\\u65E5\u672C\\\u00E9\u301C.txt"}));
    EXPECT_EQ(Split(L"prog \"\xD83D\xDCE7 a\" \xD800\\\"b"),
              (Args{L"\xD83D\xDCE7 a", L"\xD800\"b"}));
}

TEST(FitsHandoff, CountsUnitsAndAnsiBytes) {
    EXPECT_TRUE(FitsHandoff(std::wstring(255, L'a'), DoubleByteLength));
    EXPECT_FALSE(FitsHandoff(std::wstring(256, L'a'), DoubleByteLength));
    EXPECT_TRUE(FitsHandoff(std::wstring(127, L'\u8868') + L"a", DoubleByteLength));
    EXPECT_FALSE(FitsHandoff(std::wstring(128, L'\u8868'), DoubleByteLength));
}

TEST(JoinHandoffText, PutsOneSpaceAfterEveryArgument) {
    const std::wstring text = JoinHandoffText(Split(L"prog.exe ab \"cd ef\""));
    EXPECT_EQ(text, L"ab cd ef ");
    EXPECT_EQ(text.size(), 9u);
    EXPECT_EQ(JoinHandoffText(Split(L"prog.exe C:\\mail\\12.txt")), L"C:\\mail\\12.txt ");
    EXPECT_EQ(JoinHandoffText(Split(L"prog.exe C:\\my   mail\\a.txt")), L"C:\\my mail\\a.txt ");
    EXPECT_EQ(JoinHandoffText(Split(L"prog.exe a\t \tb")), L"a b ");
    EXPECT_EQ(JoinHandoffText({L""}), L" ");
    EXPECT_EQ(JoinHandoffText({}), L"");
}

} // namespace
