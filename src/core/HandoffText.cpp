#include "core/HandoffText.h"

#include <utility>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> SplitArguments(std::string_view line, LeadBytePredicate isLeadByte) {
    const std::size_t end = line.size();
    // Index of the byte after the character that starts at p: two bytes for a lead byte that
    // has a successor, else one.
    auto nextChar = [&](std::size_t p) {
        return (isLeadByte(static_cast<unsigned char>(line[p])) && p + 1 < end) ? p + 2 : p + 1;
    };

    std::size_t p = 0;
    if (p < end && line[p] == '"') {
        // A quoted program name knows no escapes and ends at the next quote.
        p = 1;
        while (p < end && line[p] != '"')
            p = nextChar(p);
        if (p < end)
            ++p;
    } else {
        while (p < end && !IsBlank(line[p]))
            p = nextChar(p);
    }

    std::vector<std::string> args;
    for (;;) {
        while (p < end && IsBlank(line[p]))
            ++p;
        if (p == end)
            break;

        std::string arg;
        bool inQuotes = false;
        while (p < end) {
            std::size_t backslashes = 0;
            while (p < end && line[p] == '\\') {
                ++backslashes;
                ++p;
            }
            if (p < end && line[p] == '"') {
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    arg += '"';
                } else if (inQuotes && p + 1 < end && line[p + 1] == '"') {
                    arg += '"';
                    ++p;
                    inQuotes = false;
                } else {
                    inQuotes = !inQuotes;
                }
                ++p;
                continue;
            }
            arg.append(backslashes, '\\');
            if (p == end || (!inQuotes && IsBlank(line[p])))
                break;
            const std::size_t next = nextChar(p);
            arg.append(line.substr(p, next - p));
            p = next;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string JoinHandoffText(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& arg : args) {
        text += arg;
        text += ' ';
    }
    return text;
}
