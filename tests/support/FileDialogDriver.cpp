#include "support/FileDialogDriver.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include "support/Wait.h"
#include "support/Window.h"

namespace testsupport {

namespace {

// A visible file-open dialog of thread `thread`: a dialog with a list of file types.
HWND FindFileDialog(DWORD thread) {
    for (HWND window : TopLevelWindows(GetCurrentProcessId(), thread))
        if (ClassOf(window) == "#32770" && IsWindowVisible(window) && GetDlgItem(window, cmb1))
            return window;
    return nullptr;
}

// The file-name field: an edit box, or a combo box with one.
HWND FileNameField(HWND dialog) {
    HWND field = GetDlgItem(dialog, cmb13);
    return field ? field : GetDlgItem(dialog, edt1);
}

BOOL CALLBACK FindListView(HWND child, LPARAM found) {
    if (ClassOf(child) != "SysListView32")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The texts of the items of the dialog's file list (the list view is in this process).
std::vector<std::wstring> ListedFiles(HWND dialog) {
    HWND list = nullptr;
    EnumChildWindows(dialog, FindListView, reinterpret_cast<LPARAM>(&list));
    std::vector<std::wstring> files;
    const auto count = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (int item = 0; item < count; ++item) {
        wchar_t text[MAX_PATH] = {};
        LVITEMW request{};
        request.pszText = text;
        request.cchTextMax = MAX_PATH;
        SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
        files.push_back(text);
    }
    return files;
}

} // namespace

FileDialogAnswer::FileDialogAnswer(DWORD dialogThread, std::wstring choice)
    : dialogThread(dialogThread), choice(std::move(choice)), answerer([this] { Answer(); }) {}

FileDialogAnswer::~FileDialogAnswer() {
    if (answerer.joinable())
        answerer.join();
}

FileDialogView FileDialogAnswer::Seen() {
    if (answerer.joinable())
        answerer.join();
    EXPECT_TRUE(view.opened) << "no file dialog opened";
    return view;
}

void FileDialogAnswer::Answer() {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindFileDialog(dialogThread)) != nullptr; }))
        return;
    view.opened = true;
    view.owner = GetWindow(dialog, GW_OWNER);
    wchar_t folder[MAX_PATH] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    view.folder = folder;
    view.fileName = WideTextOf(FileNameField(dialog));
    HWND types = GetDlgItem(dialog, cmb1);
    const auto count = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
    for (int type = 0; type < count; ++type) {
        std::wstring name(SendMessageW(types, CB_GETLBTEXTLEN, type, 0), L'\0');
        SendMessageW(types, CB_GETLBTEXT, type, reinterpret_cast<LPARAM>(name.data()));
        view.fileTypes.push_back(name);
    }
    view.files = ListedFiles(dialog);
    if (choice.empty()) {
        PostCommand(dialog, IDCANCEL);
    } else {
        SetWindowTextW(FileNameField(dialog), choice.c_str());
        PostCommand(dialog, IDOK);
    }
    WaitUntil([dialog] { return !IsWindow(dialog); });
}

TemporaryFolder::TemporaryFolder(const std::wstring& name, const std::vector<std::wstring>& names) {
    wchar_t temp[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    EXPECT_TRUE(length > 0 && length < MAX_PATH) << "no temporary folder";
    path = std::wstring(temp) + name;
    CreateDirectoryW(path.c_str(), nullptr);
    for (const std::wstring& file : names) {
        files.push_back(PathOf(file));
        HANDLE made = CreateFileW(files.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, made) << "cannot make a file in the temporary folder";
        if (made != INVALID_HANDLE_VALUE)
            CloseHandle(made);
    }
}

TemporaryFolder::~TemporaryFolder() {
    for (const std::wstring& file : files)
        DeleteFileW(file.c_str());
    RemoveDirectoryW(path.c_str());
}

} // namespace testsupport
