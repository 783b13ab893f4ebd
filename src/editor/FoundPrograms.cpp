#include "editor/FoundPrograms.h"

#include <windows.h>

#include <algorithm>

#include "core/LaunchLine.h"
#include "core/ProgramPath.h"
#include "core/ViewerTitle.h"
#include "core/WholeText.h"
#include "platform/AnsiText.h"
#include "platform/SystemFunctions.h"

namespace {

// The kinds of files that a mail viewer is for.
constexpr const wchar_t* mailFileKinds[] = {L".txt", L".eml", L".htm", L".html", L".xml", L".pdf"};

// What the shell's associations say of `kind` (ASSOCSTR_...), whole; empty when they say
// nothing.
std::wstring Associated(const wchar_t* kind, ASSOCSTR what) {
    auto* query = platform::assocQueryString.Get();
    if (!query)
        return {};
    std::vector<wchar_t> text(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto size = static_cast<DWORD>(text.size());
        const HRESULT result = query(ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE, what, kind,
                                     nullptr, text.data(), &size);
        if (result == S_OK)
            return std::wstring(text.data());
        if (result != E_POINTER || size <= text.size())
            return {};
        text.resize(size); // too small: the size it needs
    }
    return {};
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file name of `path` without its folder and extension.
std::wstring BareName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return name.substr(0, name.rfind(L'.'));
}

} // namespace

std::vector<FoundProgram> FoundPrograms() {
    std::vector<FoundProgram> found;
    std::vector<std::wstring> paths;
    for (const wchar_t* kind : mailFileKinds) {
        const std::wstring path = Associated(kind, ASSOCSTR_EXECUTABLE);
        if (path.empty() || !IsExistingFile(path) ||
            std::any_of(paths.begin(), paths.end(), [&](const std::wstring& seen) {
                return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, seen.c_str(), -1,
                                      path.c_str(), -1) == CSTR_EQUAL;
            }))
            continue;
        paths.push_back(path);
        const std::wstring command = CommandOfProgram(path);
        if (!FitsLaunchLine(command, platform::AnsiLength))
            continue;
        std::wstring name = Associated(kind, ASSOCSTR_FRIENDLYAPPNAME);
        if (name.empty())
            name = BareName(path);
        found.push_back({command, std::wstring(CutWhole(name, maxTitleChars))});
    }
    return found;
}
