#include "framework/FileDialog.h"

#include "framework/AppContext.h"
#include "framework/Dialog.h"
#include "platform/SystemFunctions.h"

namespace fw {

FileDialog::FileDialog(const wchar_t* defaultExtension, const std::wstring& fileName, DWORD flags,
                       const std::wstring& filterText, Dialog* parent)
    : defaultExtension(defaultExtension ? defaultExtension : L""), filter(filterText), flags(flags),
      parent(parent) {
    fileName.copy(fileBuffer, MAX_PATH - 1);
    // "Name|pattern|...||" → NUL-separated.
    for (wchar_t& c : filter) {
        if (c == L'|')
            c = L'\0';
    }
}

INT_PTR FileDialog::DoModal() {
    OPENFILENAMEW request{};
    // The size every Windows from 4.0 on accepts; the fields after it are not used.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    request.hwndOwner = parent ? parent->Hwnd() : DefaultOwner();
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = fileBuffer;
    request.nMaxFile = MAX_PATH;
    request.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    request.Flags = flags | OFN_EXPLORER;
    auto* run = platform::getOpenFileName.Get();
    // The dialog moves the process into the chosen file's folder, and OFN_NOCHANGEDIR does not
    // hold an Open dialog back on every system; the process stays in the folder it chose.
    wchar_t current[MAX_PATH] = {};
    const DWORD currentLength = GetCurrentDirectoryW(MAX_PATH, current);
    const bool chosen = run && run(&request);
    if (currentLength > 0 && currentLength < MAX_PATH)
        SetCurrentDirectoryW(current);
    return chosen ? IDOK : IDCANCEL;
}

} // namespace fw
