// The viewer pop-up menu of a hand-off, and the launch of the chosen viewer.

#include "mainwindow/MainDialog.h"

#include "app/Handoff.h"
#include "core/ProgramPath.h"
#include "mainwindow/CommandLine.h"
#include "store/ViewerStore.h"

namespace {

constexpr const char* launchFailedFormat = " の起動に失敗しました"; // after the command line
constexpr const char* quoteRefusedText = "ファイル名に \" が含まれているため開けません";
constexpr const char* lineTooLongText = "コマンドラインが長すぎます (259 文字まで)";

// Reads one of a viewer's launch values into `buffer`; a missing value reads as "". False
// when the value is stored but longer than the buffer holds.
bool ReadLaunchValue(SettingsKey& settings, const char* name, HKEY entry, char* buffer,
                     size_t capacity) {
    if (settings.GetString(name, buffer, capacity, "", entry))
        return true;
    DWORD type = 0;
    DWORD size = 0;
    BYTE probe = 0;
    settings.QueryValue(name, &type, &probe, &size, entry);
    return size == 0;
}

bool IsExistingFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder a viewer started for the hand-off text `file` works in: the mail file's folder
// when the text is an absolute path in an existing folder, else "" (this process's own).
std::string WorkingFolder(const std::string& file) {
    std::string folder = FolderOfPath(file, IsAnsiLeadByte);
    const DWORD attributes =
        folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        folder.clear();
    return folder;
}

} // namespace

LRESULT MainDialog::OnHandoff(WPARAM atomParam, LPARAM) {
    auto atom = static_cast<ATOM>(atomParam);
    if (atom == 0)
        return 0;
    char name[260] = {};
    UINT length = GlobalGetAtomNameA(atom, name, sizeof name);
    if (length == 0)
        return 0; // not an atom: nothing was handed over
    if (GlobalDeleteAtom(atom) != 0)
        MessageBox("GlobalDeleteAtom", "Error", MB_OK);

    std::string file(name, length);
    // A file name never holds a double quote; one in the text would end the quoted file name
    // early and smuggle arguments onto the viewer's command line.
    if (file.find('"') != std::string::npos) {
        MessageBox(quoteRefusedText, nullptr, MB_ICONHAND);
        return 0;
    }
    // A hand-off that arrives while a menu is open waits for it, so that each menu launches
    // the file that opened it.
    if (menuOpen) {
        waitingHandoffs.push_back(std::move(file));
        return 0;
    }
    ShowViewerMenu(file);
    return 0;
}

void MainDialog::OnNextHandoff() {
    if (menuOpen || waitingHandoffs.empty())
        return;
    std::string file = std::move(waitingHandoffs.front());
    waitingHandoffs.pop_front();
    ShowViewerMenu(file);
}

void MainDialog::ShowViewerMenu(const std::string& file) {
    pendingFile = file;
    POINT point{};
    GetCursorPos(&point);
    fw::PopupMenu menu;
    {
        SettingsKey settings;
        HKEY menus = settings.OpenSubKey(menusKeyName);
        std::vector<std::string> titles = ViewerTitles(settings, menus);
        for (size_t i = 0; i < titles.size(); ++i)
            menu.AppendItem(ID_VIEWER_BASE + static_cast<UINT>(i), titles[i].c_str());
        settings.CloseSubKey(menus);
    }

    const UINT chosen = TrackMenu(menu, point, TPM_RETURNCMD);
    // The launch waits until this hand-off has returned (and with it a forwarding start's
    // SendMessage) and the focus is back where it was.
    if (chosen != 0) {
        chosenViewers.push_back({chosen, file});
        PostMessageA(Hwnd(), WM_COMMAND, chosen, 0);
    }
    if (returnFocusTo) {
        SetForegroundWindow(returnFocusTo);
        SetActiveWindow(returnFocusTo);
    }
    ResumeWaitingHandoffs();
}

UINT MainDialog::TrackMenu(const fw::PopupMenu& menu, POINT point, UINT flags) {
    SetForegroundWindow(Hwnd());
    menuOpen = true;
    const auto result = static_cast<UINT>(menu.Track(point, Hwnd(), flags));
    menuOpen = false;
    return result;
}

void MainDialog::ResumeWaitingHandoffs() {
    if (!waitingHandoffs.empty())
        PostMessageA(Hwnd(), WM_NEXTHANDOFF, 0, 0);
}

BOOL MainDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (wParam >= ID_VIEWER_BASE) {
        std::string file = pendingFile;
        if (!chosenViewers.empty() && chosenViewers.front().commandId == wParam) {
            file = std::move(chosenViewers.front().file);
            chosenViewers.pop_front();
        }
        LaunchViewer(wParam - ID_VIEWER_BASE, file);
    }
    return fw::Dialog::OnCommand(wParam, lParam);
}

void MainDialog::LaunchViewer(size_t index, const std::string& file) {
    SettingsKey settings;
    HKEY menus = settings.OpenSubKey(menusKeyName);
    std::vector<std::string> titles = ViewerTitles(settings, menus);
    HKEY entry =
        index < titles.size() ? settings.OpenSubKey(titles[index].c_str(), menus) : nullptr;
    if (entry) {
        char command[maxCommandLine + 1];
        char parameters[maxCommandLine + 1];
        std::string line;
        if (!ReadLaunchValue(settings, nullptr, entry, command, sizeof command) ||
            !ReadLaunchValue(settings, paramValueName, entry, parameters, sizeof parameters) ||
            !AssembleCommandLine(QuoteProgramPart(command, IsAnsiLeadByte, IsExistingFile),
                                 parameters, file, line)) {
            MessageBox(lineTooLongText, nullptr, MB_ICONHAND);
        } else {
            STARTUPINFOA startup{};
            startup.cb = sizeof startup;
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = SW_SHOW;
            PROCESS_INFORMATION started{};
            std::string writable = line; // CreateProcessA may write into its command line
            const std::string folder = WorkingFolder(file);
            if (CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
                fw::UniqueKernelHandle process(started.hProcess);
                fw::UniqueKernelHandle thread(started.hThread);
                WaitForInputIdle(process.Get(), 100000);
            } else {
                MessageBox((line + launchFailedFormat).c_str(), nullptr, MB_ICONHAND);
            }
        }
        settings.CloseSubKey(entry);
    }
    settings.CloseSubKey(menus);
}
