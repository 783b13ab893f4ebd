// Fuzz target: SplitArguments and JoinHandoffText on arbitrary command lines of UTF-16 units,
// unpaired surrogates included. The input is the whole command line, program name first, two
// bytes a unit (little-endian; an odd last byte is dropped). Each run checks these properties
// (any violation aborts, and libFuzzer keeps the input):
//
//  1. Size. Every unit of an argument comes from at least one unit of the line, every argument
//     takes at least one unit, and two arguments are parted by at least one blank. So the sizes
//     of k arguments add up to at most n - (k - 1) for a line of n units, and the hand-off text
//     (each argument and one space) is at most n + 1 units long, empty when k is 0.
//  2. Quoting round trip. Each argument, written back in quotes by the rules of the splitter
//     (a run of backslashes doubled only before a quote; a quote as \" or, in the other
//     spelling, as "" followed by a quote that reopens the quoted part), after a program name
//     and a blank, splits back to the same arguments.
//  3. Without quotes, blanks separate. With every quote of the line replaced by an apostrophe,
//     the arguments are exactly the runs of non-blank units after the program name:
//     backslashes are literal and no argument holds an unquoted blank.

#include "core/HandoffText.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// How Quote writes a quote of the argument: escaped by a backslash, or doubled (which ends the
// quoted part) and followed by a quote that opens it again.
enum class QuoteSpelling { backslash, doubled };

// `arg` as one quoted argument of a command line.
std::wstring Quote(std::wstring_view arg, QuoteSpelling spelling) {
    std::wstring quoted = L"\"";
    std::size_t p = 0;
    for (;;) {
        std::size_t backslashes = 0;
        while (p < arg.size() && arg[p] == L'\\') {
            ++backslashes;
            ++p;
        }
        if (p == arg.size()) {
            quoted.append(2 * backslashes, L'\\'); // before the closing quote
            break;
        }
        if (arg[p] == L'"') {
            if (spelling == QuoteSpelling::backslash)
                quoted.append(2 * backslashes + 1, L'\\').append(L"\"");
            else
                quoted.append(2 * backslashes, L'\\').append(L"\"\"\"");
        } else {
            quoted.append(backslashes, L'\\');
            quoted += arg[p];
        }
        ++p;
    }
    return quoted + L'"';
}

// The splitter's result for a line without quotes, from its description: the program name
// runs to the first blank, the arguments are the runs of non-blank units after it.
Args SplitWithoutQuotes(std::wstring_view line) {
    std::size_t p = 0;
    while (p < line.size() && !IsBlank(line[p]))
        ++p;
    Args args;
    while (p < line.size()) {
        if (IsBlank(line[p])) {
            ++p;
            continue;
        }
        const std::size_t start = p;
        while (p < line.size() && !IsBlank(line[p]))
            ++p;
        args.emplace_back(line.substr(start, p - start));
    }
    return args;
}

void CheckSize(std::wstring_view line, const Args& args) {
    std::size_t total = 0;
    for (const std::wstring& arg : args)
        total += arg.size();
    if (!args.empty())
        FUZZ_CHECK(total + args.size() - 1 <= line.size());

    const std::wstring text = JoinHandoffText(args);
    FUZZ_CHECK(text.size() == total + args.size());
    FUZZ_CHECK(text.size() <= line.size() + 1);
    std::size_t at = 0;
    for (const std::wstring& arg : args) {
        FUZZ_CHECK(text.compare(at, arg.size(), arg) == 0);
        at += arg.size();
        FUZZ_CHECK(text[at] == L' ');
        ++at;
    }
}

void CheckQuotingRoundTrip(const Args& args, wchar_t separator) {
    // Both forms of program name: unquoted up to a blank, and quoted with blanks inside.
    for (const wchar_t* program :
         {L"brindle.exe", L"\"C:\\Program Files\\Brindle\\brindle.exe\""}) {
        for (QuoteSpelling spelling : {QuoteSpelling::backslash, QuoteSpelling::doubled}) {
            std::wstring line = program;
            for (const std::wstring& arg : args)
                line += separator + Quote(arg, spelling);
            FUZZ_CHECK(SplitArguments(line) == args);
        }
    }
}

void CheckWithoutQuotes(std::wstring_view line) {
    std::wstring unquoted(line);
    for (wchar_t& c : unquoted) {
        if (c == L'"')
            c = L'\'';
    }
    FUZZ_CHECK(SplitArguments(unquoted) == SplitWithoutQuotes(unquoted));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring line;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        line += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    const Args args = SplitArguments(line);

    CheckSize(line, args);
    CheckQuotingRoundTrip(args, size % 4 < 2 ? L' ' : L'\t');
    CheckWithoutQuotes(line);
    return 0;
}
