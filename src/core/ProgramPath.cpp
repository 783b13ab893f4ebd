#include "core/ProgramPath.h"

#include <vector>

namespace {

// Index of the byte after the character that starts at `p`: a lead byte takes the next byte
// with it, when there is one.
std::size_t NextChar(std::string_view text, std::size_t p, LeadBytePredicate isLeadByte) {
    return isLeadByte(static_cast<unsigned char>(text[p])) && p + 1 < text.size() ? p + 2 : p + 1;
}

// Whether the last component of `path` (after its last '\' or '/') has a '.'.
bool HasExtension(std::string_view path, LeadBytePredicate isLeadByte) {
    bool dot = false;
    for (std::size_t p = 0; p < path.size(); p = NextChar(path, p, isLeadByte)) {
        if (path[p] == '\\' || path[p] == '/')
            dot = false;
        else if (path[p] == '.')
            dot = true;
    }
    return dot;
}

} // namespace

std::string QuoteProgramPart(std::string_view command, LeadBytePredicate isLeadByte,
                             const FileExistsPredicate& isFile) {
    std::string unchanged(command);
    if (command.empty() || command.front() == '"' || command.find(' ') == std::string_view::npos)
        return unchanged;

    // Where a part may end: before a space or at the end, after something other than a space.
    std::vector<std::size_t> ends;
    for (std::size_t p = 0; p <= command.size(); p = NextChar(command, p, isLeadByte)) {
        if ((p == command.size() || command[p] == ' ') && p > 0 && command[p - 1] != ' ')
            ends.push_back(p);
        if (p == command.size())
            break;
    }
    for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
        std::string_view part = command.substr(0, *end);
        std::string file(part);
        if (!HasExtension(part, isLeadByte))
            file += ".exe";
        if (isFile(file))
            return '"' + std::string(part) + '"' + std::string(command.substr(*end));
    }
    return unchanged;
}

std::string ProgramOfCommand(std::string_view command, LeadBytePredicate isLeadByte,
                             const FileExistsPredicate& isFile) {
    // Neither a quote nor a space is ever the second byte of a double-byte character.
    const std::string quoted = !command.empty() && command.front() == '"'
                                   ? std::string(command)
                                   : QuoteProgramPart(command, isLeadByte, isFile);
    if (quoted.empty() || quoted.front() != '"')
        return std::string(command.substr(0, command.find_first_of(" \t")));
    const std::size_t closing = quoted.find('"', 1);
    return quoted.substr(1, closing == std::string::npos ? std::string::npos : closing - 1);
}

std::wstring FolderOfPath(std::wstring_view path) {
    const bool drive =
        path.size() >= 3 &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
        path[1] == L':' && path[2] == L'\\';
    // "\\?\" and "\\.\" name devices and raw paths, not servers.
    const bool server = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' &&
                        path[2] != L'?' && path[2] != L'.' && path[2] != L'\\';
    if (!drive && !server)
        return {};
    return std::wstring(path.substr(0, path.rfind(L'\\') + 1));
}
