#include "editor/EntryEditorDialog.h"

#include <algorithm>

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "editor/FoundPrograms.h"
#include "framework/Controls.h"
#include "framework/FileDialog.h"
#include "core/MenuText.h"
#include "core/LaunchLine.h"
#include "core/ProgramPath.h"
#include "core/WholeText.h"
#include "platform/AnsiText.h"
#include "resource.h"
#include "store/ViewerTitles.h"

const fw::MessageEntry EntryEditorDialog::messageTable[] = {
    fw::CommandHandler<&EntryEditorDialog::OnBrowse>(IDC_BROWSE),
    fw::CommandHandler<&EntryEditorDialog::OnFoundPrograms>(IDC_FOUND_PROGRAMS),
};

std::span<const fw::MessageEntry> EntryEditorDialog::MessageTable() const {
    return messageTable;
}

EntryEditorDialog::EntryEditorDialog(fw::Dialog* parent) : fw::Dialog(IDD_ENTRY_EDITOR, parent) {}

void EntryEditorDialog::DoDataExchange(fw::DataExchange& dx) {
    dx.Text(IDC_COMMAND, command);
    dx.Text(IDC_TITLE, title);
    dx.Text(IDC_PARAMETERS, parameters);
}

BOOL EntryEditorDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    // The template's default button is Cancel, so Enter in a field would throw the typed entry
    // away. OK is checked before it ends the dialog, so it is the safe default.
    SendMessageW(Hwnd(), DM_SETDEFID, IDOK, 0);
    return TRUE;
}

void EntryEditorDialog::OnOK() {
    // Checked here, not in the data exchange: browsing exchanges the fields too, and must work
    // before a title has been typed.
    if (UpdateData(TRUE) && CheckEntry())
        EndDialog(IDOK);
}

bool EntryEditorDialog::CheckEntry() {
    // The limits are the launch's: no entry accepted here is refused by it for its length.
    if (title.empty()) {
        Refuse(IDC_TITLE, fw::LoadText(IDS_NO_TITLE));
    } else if (title.find(L'\\') != std::wstring::npos) {
        Refuse(IDC_TITLE, fw::LoadText(IDS_TITLE_BACKSLASH));
    } else if (!IsStorableTitle(title)) {
        Refuse(IDC_TITLE, fw::LoadText(IDS_TITLE_TOO_LONG));
    } else if (std::any_of(otherTitles.begin(), otherTitles.end(),
                           [&](const std::wstring& other) { return SameTitle(title, other); })) {
        Refuse(IDC_TITLE, title + fw::LoadText(IDS_TITLE_DUPLICATE));
    } else if (!FitsLaunchLine(command, platform::AnsiLength)) {
        Refuse(IDC_COMMAND, fw::LoadText(IDS_COMMAND_TOO_LONG));
    } else if (!FitsLaunchLine(parameters, platform::AnsiLength)) {
        Refuse(IDC_PARAMETERS, fw::LoadText(IDS_PARAMETERS_TOO_LONG));
    } else {
        return true;
    }
    return false;
}

void EntryEditorDialog::Refuse(int controlId, const std::wstring& message) {
    MessageBox(message, nullptr, MB_ICONEXCLAMATION);
    // The dialog manager also selects an edit's whole text when it gets the focus this way.
    SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(controlId)), TRUE);
}

void EntryEditorDialog::OnBrowse() {
    if (!UpdateData(TRUE))
        return;
    fw::FileDialog dialog(L"exe", std::wstring(CutWhole(QuotedProgramOf(command), MAX_PATH - 1)),
                          OFN_HIDEREADONLY, fw::LoadText(IDS_PROGRAM_FILTER));
    if (dialog.DoModal() != IDOK)
        return;
    command = CommandOfProgram(dialog.PathName());
    UpdateData(FALSE);
}

void EntryEditorDialog::OnFoundPrograms() {
    if (!UpdateData(TRUE))
        return;
    const std::vector<FoundProgram> found = FoundPrograms();
    constexpr UINT firstId = 1;
    fw::PopupMenu menu;
    for (size_t i = 0; i < found.size(); ++i)
        menu.AppendItem(firstId + static_cast<UINT>(i), MenuItemText(found[i].name));
    if (found.empty())
        AppendMenuW(menu.Handle(), MF_STRING | MF_GRAYED, 0,
                    fw::LoadText(IDS_NO_PROGRAMS_FOUND).c_str());
    // Below the button, as a drop-down opens; keys choose in it as in any menu.
    RECT button{};
    GetWindowRect(Item(IDC_FOUND_PROGRAMS), &button);
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(menu.Handle(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, button.left,
                       button.bottom, 0, Hwnd(), nullptr));
    if (chosen < firstId || chosen - firstId >= found.size())
        return;
    const FoundProgram& program = found[chosen - firstId];
    command = program.command;
    if (title.empty())
        title = program.name;
    UpdateData(FALSE);
}
