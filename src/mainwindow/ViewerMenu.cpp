#include "mainwindow/ViewerMenu.h"

#include <algorithm>

#include "core/LaunchLine.h"
#include "core/MenuKeys.h"
#include "core/MenuText.h"
#include "core/ProgramPath.h"
#include "framework/App.h"
#include "framework/Handle.h"
#include "instance/Instance.h"
#include "mainwindow/ProgramIcons.h"
#include "platform/AnsiText.h"
#include "resource.h"
#include "store/ViewerStore.h"

namespace {

bool IsExistingFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
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

ViewerMenu::ViewerMenu(std::vector<std::string> shownTitles, std::span<const HBITMAP> images)
    : titles(std::move(shownTitles)) {
    const size_t count = std::min<size_t>(titles.size(), ID_VIEWER_LAST - ID_VIEWER_BASE + 1);
    titles.resize(count);
    const bool anyImage =
        std::any_of(images.begin(), images.end(), [](HBITMAP image) { return image; });
    for (size_t i = 0; i < count; ++i) {
        const int number = i < numberedItems ? static_cast<int>(i) + 1 : 0;
        menu.AppendItem(ID_VIEWER_BASE + static_cast<UINT>(i),
                        platform::WideFromAnsi(MenuItemText(titles[i], number)));
        // A system that knows no item images keeps the item without one.
        if (anyImage) {
            MENUITEMINFOA item{};
            item.cbSize = sizeof item;
            SetItemImage(item, i < images.size() ? images[i] : nullptr);
            if (item.fMask)
                SetMenuItemInfoA(menu.Handle(), static_cast<UINT>(i), TRUE, &item);
        }
    }
}

const std::string* ViewerMenu::TitleOf(UINT id) const {
    if (id < ID_VIEWER_BASE || id - ID_VIEWER_BASE >= titles.size())
        return nullptr;
    return &titles[id - ID_VIEWER_BASE];
}

std::string ProgramPathOf(const std::string& command) {
    const std::string program = ProgramOfCommand(command, IsAnsiLeadByte, IsExistingFile);
    if (program.empty())
        return {};
    // A path too long for MAX_PATH is searched again with the size the first search asked for.
    std::vector<char> path(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = SearchPathA(nullptr, program.c_str(), ".exe",
                                         static_cast<DWORD>(path.size()), path.data(), nullptr);
        if (length == 0)
            return {};
        if (length < path.size())
            return std::string(path.data(), length);
        path.resize(length);
    }
    return {};
}

void LaunchViewer(const std::string& title, const std::wstring& file,
                  const ReadyWait& waitUntilReady) {
    bool tooLong = false;
    const auto values = ViewerStore().LaunchValuesOf(title, maxLaunchLine + 1, tooLong);
    std::wstring line;
    if (tooLong ||
        (values && !AssembleLaunchLine(platform::WideFromAnsi(QuoteProgramPart(
                                           values->command, IsAnsiLeadByte, IsExistingFile)),
                                       platform::WideFromAnsi(values->parameters), file,
                                       platform::AnsiLength, line))) {
        fw::AppMessageBox(fw::LoadText(IDS_LINE_TOO_LONG), MB_ICONHAND);
        return;
    }
    if (!values)
        return; // deleted since the menu was shown

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
    const fw::UniqueKernelHandle process(started.hProcess);
    const fw::UniqueKernelHandle thread(started.hThread);
    waitUntilReady(process.Get());
}
