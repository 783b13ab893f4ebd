#include "mainwindow/Launch.h"

#include <vector>

#include "core/LaunchLine.h"
#include "core/ProgramPath.h"
#include "framework/App.h"
#include "platform/Handles.h"
#include "platform/AnsiText.h"
#include "resource.h"
#include "store/ViewerStore.h"

namespace {

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder a viewer started for the hand-off text `file` works in: the mail file's folder
// when the text is an absolute path in an existing folder, else "" (this process's own).
std::wstring WorkingFolder(const std::wstring& file) {
    const std::wstring folder = FolderOfPath(file);
    if (folder.empty())
        return {};
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
               ? folder
               : std::wstring();
}

} // namespace

std::wstring ProgramPathOf(const std::wstring& command) {
    const std::wstring program = ProgramOfCommand(command, IsExistingFile);
    if (program.empty())
        return {};
    // A path too long for MAX_PATH is searched again with the size the first search asked for.
    std::vector<wchar_t> path(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = SearchPathW(nullptr, program.c_str(), L".exe",
                                         static_cast<DWORD>(path.size()), path.data(), nullptr);
        if (length == 0)
            return {};
        if (length < path.size())
            return std::wstring(path.data(), length);
        path.resize(length);
    }
    return {};
}

void LaunchViewer(const std::wstring& title, const std::wstring& file,
                  const ReadyWait& waitUntilReady) {
    const std::optional<StoredValues> stored = ViewerStore().ReadStored(title);
    if (!stored)
        return; // deleted since the menu was shown
    // A value too long for a launch line is refused, never cut.
    const auto command = LaunchValueOf(stored->command, platform::AnsiLength);
    const auto parameters = LaunchValueOf(stored->parameters, platform::AnsiLength);
    std::wstring line;
    if (!command || !parameters ||
        !AssembleLaunchLine(QuoteProgramPart(*command, IsExistingFile), *parameters, file,
                            platform::AnsiLength, line)) {
        fw::AppMessageBox(fw::LoadText(IDS_LINE_TOO_LONG), MB_ICONHAND);
        return;
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION started{};
    std::wstring writable = line; // CreateProcessW may write into its command line
    const std::wstring folder = WorkingFolder(file);
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        fw::AppMessageBox(line + fw::LoadText(IDS_LAUNCH_FAILED), MB_ICONHAND);
        return;
    }
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    waitUntilReady(process.Get());
}
