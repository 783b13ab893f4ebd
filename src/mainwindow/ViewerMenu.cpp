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

ViewerMenu::ViewerMenu(std::vector<std::wstring> shownTitles, std::span<const HBITMAP> images)
    : titles(std::move(shownTitles)) {
    const size_t count = std::min<size_t>(titles.size(), ID_VIEWER_LAST - ID_VIEWER_BASE + 1);
    titles.resize(count);
    const bool anyImage =
        std::any_of(images.begin(), images.end(), [](HBITMAP image) { return image; });
    for (size_t i = 0; i < count; ++i) {
        const int number = i < numberedItems ? static_cast<int>(i) + 1 : 0;
        menu.AppendItem(ID_VIEWER_BASE + static_cast<UINT>(i), MenuItemText(titles[i], number));
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

const std::wstring* ViewerMenu::TitleOf(UINT id) const {
    if (id < ID_VIEWER_BASE || id - ID_VIEWER_BASE >= titles.size())
        return nullptr;
    return &titles[id - ID_VIEWER_BASE];
}

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
    bool tooLong = false;
    const auto values = ViewerStore().LaunchValuesOf(title, tooLong);
    std::wstring line;
    if (tooLong ||
        (values && !AssembleLaunchLine(QuoteProgramPart(values->command, IsExistingFile),
                                       values->parameters, file, platform::AnsiLength, line))) {
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
