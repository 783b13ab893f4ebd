#pragma once
// The system's file-open dialog answered as a user answers it: a second thread waits for the
// dialog to open on the thread that runs it, reads what it shows, types a path into its
// file-name field and presses OK, or presses Cancel.

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// What a file-open dialog showed when it opened.
struct FileDialogView {
    bool opened = false;
    HWND owner = nullptr;
    std::wstring folder;                 // the folder it opened in
    std::wstring fileName;               // its file-name field
    std::vector<std::wstring> fileTypes; // the names in its list of file types
    std::vector<std::wstring> files;     // what it listed of its folder, for the first type
};

class FileDialogAnswer {
  public:
    // Answers the next file-open dialog that thread `dialogThread` opens within the wait limit:
    // `choice` is typed into its file-name field and OK pressed, or Cancel is pressed when
    // `choice` is empty.
    FileDialogAnswer(DWORD dialogThread, std::wstring choice);
    // Waits until the dialog was answered, or none came.
    ~FileDialogAnswer();
    FileDialogAnswer(const FileDialogAnswer&) = delete;
    FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;

    // What the dialog showed; waits until it was answered. A failure of the test when no
    // dialog opened.
    FileDialogView Seen();

  private:
    void Answer();

    DWORD dialogThread;
    std::wstring choice;
    FileDialogView view;
    std::thread answerer;
};

// A folder `name` in the temporary folder, made afresh with an empty file of each of `files`,
// for a file dialog to show; removed with the object.
class TemporaryFolder {
  public:
    TemporaryFolder(const std::wstring& name, const std::vector<std::wstring>& files);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // The folder's full path, without a backslash at its end.
    const std::wstring& Path() const { return path; }
    // The full path of `file` in the folder.
    std::wstring PathOf(const std::wstring& file) const { return path + L"\\" + file; }

  private:
    std::wstring path;
    std::vector<std::wstring> files;
};

} // namespace testsupport
