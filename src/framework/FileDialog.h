#pragma once
// The system's file-open (or save) dialog.

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
    FileDialog(bool open, const char* defaultExtension, const std::string& fileName, DWORD flags,
               const char* filter, Dialog* parent = nullptr);

    // IDOK when a file was chosen, else IDCANCEL.
    INT_PTR DoModal();
    // The chosen file's full path.
    std::string PathName() const { return fileBuffer; }

    // Tests may answer in place of the system dialog: when set, DoModal calls it with the
    // filled-in request and returns its result.
    using Answer = INT_PTR (*)(OPENFILENAMEA& request);
    static Answer testAnswer;

  private:
    bool open;
    std::string defaultExtension;
    std::string filter; // NUL-separated
    DWORD flags;
    Dialog* parent;
    char fileBuffer[MAX_PATH] = {};
};

} // namespace fw
