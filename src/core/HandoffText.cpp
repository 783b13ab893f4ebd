#include "core/HandoffText.h"

#include <utility>

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

} // namespace

bool FitsHandoff(std::wstring_view text, AnsiLengthFunction ansiLength) {
    return text.size() <= maxAtomText && ansiLength(text) <= maxAtomText;
}

std::vector<std::wstring> SplitArguments(std::wstring_view line) {
    const std::size_t end = line.size();

    std::size_t p = 0;
    if (p < end && line[p] == L'"') {
        // A quoted program name knows no escapes and ends at the next quote.
        p = 1;
        while (p < end && line[p] != L'"')
            ++p;
        if (p < end)
            ++p;
    } else {
        while (p < end && !IsBlank(line[p]))
            ++p;
    }

    std::vector<std::wstring> args;
    for (;;) {
        while (p < end && IsBlank(line[p]))
            ++p;
        if (p == end)
            break;

        std::wstring arg;
        bool inQuotes = false;
        while (p < end) {
            std::size_t backslashes = 0;
            while (p < end && line[p] == L'\\') {
                ++backslashes;
                ++p;
            }
            if (p < end && line[p] == L'"') {
                arg.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) {
                    arg += L'"';
                } else if (inQuotes && p + 1 < end && line[p + 1] == L'"') {
                    arg += L'"';
                    ++p;
                    inQuotes = false;
                } else {
                    inQuotes = !inQuotes;
                }
                ++p;
                continue;
            }
            arg.append(backslashes, L'\\');
            if (p == end || (!inQuotes && IsBlank(line[p])))
                break;
            arg += line[p++];
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::wstring JoinHandoffText(const std::vector<std::wstring>& args) {
    std::wstring text;
    for (const std::wstring& arg : args) {
        text += arg;
        text += L' ';
    }
    return text;
}
