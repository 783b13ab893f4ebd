#include "framework/FileDialog.h"

#include "framework/App.h"
#include "framework/Dialog.h"
#include "platform/SystemFunctions.h"

namespace fw {

FileDialog::Answer FileDialog::testAnswer = nullptr;

FileDialog::FileDialog(bool open, const char* defaultExtension, const std::string& fileName,
                       DWORD flags, const char* filterText, Dialog* parent)
    : open(open), defaultExtension(defaultExtension ? defaultExtension : ""), filter(filterText),
      flags(flags), parent(parent) {
    fileName.copy(fileBuffer, sizeof fileBuffer - 1);
    // "Name|pattern|...||" → NUL-separated; a '|' byte inside a double-byte character stays.
    for (size_t i = 0; i < filter.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(filter[i])))
            ++i;
        else if (filter[i] == '|')
            filter[i] = '\0';
    }
}

INT_PTR FileDialog::DoModal() {
    OPENFILENAMEA request{};
    // The size every Windows from 4.0 on accepts; the fields after it are not used.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = parent ? parent->Hwnd() : DefaultOwner();
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = fileBuffer;
    request.nMaxFile = sizeof fileBuffer;
    request.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    request.Flags = flags | OFN_EXPLORER;
    if (testAnswer)
        return testAnswer(request);
    auto* run = open ? platform::getOpenFileName.Get() : platform::getSaveFileName.Get();
    // The dialog moves the process into the chosen file's folder, and OFN_NOCHANGEDIR does not
    // hold an Open dialog back on every system; the process stays in the folder it chose.
    char current[MAX_PATH] = {};
    const DWORD currentLength = GetCurrentDirectoryA(sizeof current, current);
    const bool chosen = run && run(&request);
    if (currentLength > 0 && currentLength < sizeof current)
        SetCurrentDirectoryA(current);
    return chosen ? IDOK : IDCANCEL;
}

} // namespace fw
