#include "core/ProgramPath.h"

#include <vector>

namespace {

// Whether the last component of `path` (after its last '\' or '/') has a '.'.
bool HasExtension(std::wstring_view path) {
    const std::size_t start = path.find_last_of(L"\\/");
    return path.find(L'.', start == std::wstring_view::npos ? 0 : start) != std::wstring_view::npos;
}

} // namespace

std::wstring QuoteProgramPart(std::wstring_view command, const FileExistsPredicate& isFile) {
    std::wstring unchanged(command);
    if (command.empty() || command.front() == L'"' || command.find(L' ') == std::wstring_view::npos)
        return unchanged;

    // Where a part may end: before a space or at the end, after something other than a space.
    std::vector<std::size_t> ends;
    for (std::size_t p = 1; p <= command.size(); ++p)
        if ((p == command.size() || command[p] == L' ') && command[p - 1] != L' ')
            ends.push_back(p);
    for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
        const std::wstring_view part = command.substr(0, *end);
        std::wstring file(part);
        if (!HasExtension(part))
            file += L".exe";
        if (isFile(file))
            return L'"' + std::wstring(part) + L'"' + std::wstring(command.substr(*end));
    }
    return unchanged;
}

std::wstring ProgramOfCommand(std::wstring_view command, const FileExistsPredicate& isFile) {
    const std::wstring quoted = !command.empty() && command.front() == L'"'
                                    ? std::wstring(command)
                                    : QuoteProgramPart(command, isFile);
    if (quoted.empty() || quoted.front() != L'"')
        return std::wstring(command.substr(0, command.find_first_of(L" \t")));
    return std::wstring(QuotedProgramOf(quoted));
}

std::wstring_view QuotedProgramOf(std::wstring_view command) {
    if (command.empty() || command.front() != L'"')
        return command;
    const std::size_t closing = command.find(L'"', 1);
    return command.substr(1, closing == std::wstring_view::npos ? std::wstring_view::npos
                                                                : closing - 1);
}

std::wstring CommandOfProgram(std::wstring_view path) {
    const std::wstring whole(path);
    return whole.find(L' ') == std::wstring::npos ? whole : L'"' + whole + L'"';
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
