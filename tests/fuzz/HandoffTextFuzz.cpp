// Fuzz target: SplitArguments and JoinHandoffText on arbitrary command lines, double-byte
// characters of code page 932 included. The input is the whole command line, program name
// first. Each run checks these properties (any violation aborts, and libFuzzer keeps the input):
//
//  1. Size. Every byte of an argument comes from at least one byte of the line, every argument
//     takes at least one byte, and two arguments are parted by at least one blank. So the sizes
//     of k arguments add up to at most n - (k - 1) for a line of n bytes, and the hand-off text
//     (each argument and one space) is at most n + 1 bytes long, empty when k is 0.
//  2. Trail bytes are inert. The byte after a lead byte never acts as a separator, quote or
//     backslash: replacing every trail byte of the line by a plain letter gives the same
//     arguments with the same replacement in them. (The splitter moves along the line's
//     characters from its first byte, and an argument's characters are the line's, so the trail
//     bytes of an argument are found by walking it the same way.)
//  3. Quoting round trip. Each argument, written back in quotes by the rules of the splitter
//     (a run of backslashes doubled only before a quote; a quote as \" or, in the other
//     spelling, as "" followed by a quote that reopens the quoted part), after a program name
//     and a blank, splits back to the same arguments. It holds unless an argument ends with a
//     lead byte that has no trail byte, which happens only at the very end of the line: in
//     quotes that lead byte would take the closing quote as its trail byte.
//  4. Without quotes, blanks separate. With every quote of the line replaced by an apostrophe,
//     the arguments are exactly the runs of non-blank characters after the program name:
//     backslashes are literal and no argument holds an unquoted blank.
//  5. The lead-byte rule only matters where it should. When no quote, backslash or blank
//     follows a byte of the lead ranges, splitting with code page 932's lead bytes gives what
//     splitting without any lead bytes gives.

#include "core/HandoffText.h"

#include "../unit/Cp932.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Args = std::vector<std::string>;

bool NoLeadBytes(unsigned char) {
    return false;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsSpecial(char c) {
    return IsBlank(c) || c == '"' || c == '\\';
}

bool IsLead(char c) {
    return IsCp932LeadByte(static_cast<unsigned char>(c));
}

// Index of the character after the one that starts at p: two bytes for a lead byte with a
// successor, else one.
std::size_t NextChar(std::string_view text, std::size_t p) {
    return IsLead(text[p]) && p + 1 < text.size() ? p + 2 : p + 1;
}

// `text` with the trail byte of every double-byte character replaced by 'T'.
std::string ReplaceTrailBytes(std::string_view text) {
    std::string replaced(text);
    for (std::size_t p = 0; p < text.size(); p = NextChar(text, p)) {
        if (NextChar(text, p) == p + 2)
            replaced[p + 1] = 'T';
    }
    return replaced;
}

// Whether `text` ends with a lead byte that has no trail byte.
bool EndsWithLoneLeadByte(std::string_view text) {
    std::size_t p = 0;
    std::size_t last = 0;
    while (p < text.size()) {
        last = p;
        p = NextChar(text, p);
    }
    return !text.empty() && last == text.size() - 1 && IsLead(text[last]);
}

// How Quote writes a quote of the argument: escaped by a backslash, or doubled (which ends the
// quoted part) and followed by a quote that opens it again.
enum class QuoteSpelling { backslash, doubled };

// `arg` as one quoted argument of a command line.
std::string Quote(std::string_view arg, QuoteSpelling spelling) {
    std::string quoted = "\"";
    std::size_t p = 0;
    for (;;) {
        std::size_t backslashes = 0;
        while (p < arg.size() && arg[p] == '\\') {
            ++backslashes;
            ++p;
        }
        if (p == arg.size()) {
            quoted.append(2 * backslashes, '\\'); // before the closing quote
            break;
        }
        if (arg[p] == '"') {
            if (spelling == QuoteSpelling::backslash)
                quoted.append(2 * backslashes + 1, '\\').append("\"");
            else
                quoted.append(2 * backslashes, '\\').append("\"\"\"");
            ++p;
            continue;
        }
        quoted.append(backslashes, '\\');
        const std::size_t next = NextChar(arg, p);
        quoted.append(arg.substr(p, next - p));
        p = next;
    }
    return quoted + '"';
}

// The splitter's result for a line without quotes, from its description: the program name
// runs to the first blank, the arguments are the runs of non-blank characters after it.
Args SplitWithoutQuotes(std::string_view line) {
    std::size_t p = 0;
    while (p < line.size() && !IsBlank(line[p]))
        p = NextChar(line, p);
    Args args;
    while (p < line.size()) {
        if (IsBlank(line[p])) {
            ++p;
            continue;
        }
        const std::size_t start = p;
        while (p < line.size() && !IsBlank(line[p]))
            p = NextChar(line, p);
        args.emplace_back(line.substr(start, p - start));
    }
    return args;
}

void CheckSize(std::string_view line, const Args& args) {
    std::size_t total = 0;
    for (const std::string& arg : args)
        total += arg.size();
    if (!args.empty())
        FUZZ_CHECK(total + args.size() - 1 <= line.size());

    const std::string text = JoinHandoffText(args);
    FUZZ_CHECK(text.size() == total + args.size());
    FUZZ_CHECK(text.size() <= line.size() + 1);
    std::size_t at = 0;
    for (const std::string& arg : args) {
        FUZZ_CHECK(text.compare(at, arg.size(), arg) == 0);
        at += arg.size();
        FUZZ_CHECK(text[at] == ' ');
        ++at;
    }
}

void CheckTrailBytesAreInert(std::string_view line, const Args& args) {
    Args expected;
    for (const std::string& arg : args)
        expected.push_back(ReplaceTrailBytes(arg));
    FUZZ_CHECK(SplitArguments(ReplaceTrailBytes(line), IsCp932LeadByte) == expected);
}

void CheckQuotingRoundTrip(const Args& args, char separator) {
    for (const std::string& arg : args) {
        if (EndsWithLoneLeadByte(arg))
            return;
    }
    // Both forms of program name: unquoted up to a blank, and quoted with blanks inside.
    for (const char* program : {"brindle.exe", "\"C:\\Program Files\\Brindle\\brindle.exe\""}) {
        for (QuoteSpelling spelling : {QuoteSpelling::backslash, QuoteSpelling::doubled}) {
            std::string line = program;
            for (const std::string& arg : args)
                line += separator + Quote(arg, spelling);
            FUZZ_CHECK(SplitArguments(line, IsCp932LeadByte) == args);
        }
    }
}

void CheckWithoutQuotes(std::string_view line) {
    std::string unquoted(line);
    for (char& c : unquoted) {
        if (c == '"')
            c = '\'';
    }
    FUZZ_CHECK(SplitArguments(unquoted, IsCp932LeadByte) == SplitWithoutQuotes(unquoted));
}

void CheckLeadByteRuleMattersOnlyBeforeSpecialBytes(std::string_view line, const Args& args) {
    for (std::size_t p = 0; p + 1 < line.size(); ++p) {
        if (IsLead(line[p]) && IsSpecial(line[p + 1]))
            return;
    }
    FUZZ_CHECK(SplitArguments(line, NoLeadBytes) == args);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const Args args = SplitArguments(line, IsCp932LeadByte);

    CheckSize(line, args);
    CheckTrailBytesAreInert(line, args);
    CheckQuotingRoundTrip(args, size % 2 == 0 ? ' ' : '\t');
    CheckWithoutQuotes(line);
    CheckLeadByteRuleMattersOnlyBeforeSpecialBytes(line, args);
    return 0;
}
