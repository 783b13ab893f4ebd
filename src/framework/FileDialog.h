#pragma once
// The system's file-open dialog.

#include <windows.h>
#include <commdlg.h>
#include <string>

namespace fw {

class Dialog;

class FileDialog {
  public:
    // `filter` in the form "Name|pattern|Name|pattern||"; `fileName`, the starting file name,
    // is cut to what the 260-character name buffer holds. A null `parent` makes the main
    // window's last active pop-up the owner.
    FileDialog(const wchar_t* defaultExtension, const std::wstring& fileName, DWORD flags,
               const std::wstring& filter, Dialog* parent = nullptr);

    // IDOK when a file was chosen, else IDCANCEL.
    INT_PTR DoModal();
    // The chosen file's full path.
    std::wstring PathName() const { return fileBuffer; }

  private:
    std::wstring defaultExtension;
    std::wstring filter; // NUL-separated
    DWORD flags;
    Dialog* parent;
    wchar_t fileBuffer[MAX_PATH] = {};
};

} // namespace fw
