#include "mainwindow/ViewerListPane.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <numeric>

#include "editor/EntryEditorDialog.h"
#include "framework/DataExchange.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "core/TypeAhead.h"
#include "core/WholeText.h"
#include "resource.h"

namespace {

constexpr int titleColumn = 0;
constexpr int commandColumn = 1;
constexpr int parametersColumn = 2;
constexpr UINT selectedAndFocused = LVIS_SELECTED | LVIS_FOCUSED;

// The list's keys that do what its buttons do: Enter edits the selected viewer (the list's
// while it has the focus, not the default button's), Delete deletes it (asking first, as the
// button does), Insert adds one, and Alt+Up and Alt+Down move it.
constexpr ACCEL listKeys[] = {{FVIRTKEY, VK_RETURN, IDC_EDIT},
                              {FVIRTKEY, VK_DELETE, IDC_DELETE},
                              {FVIRTKEY, VK_INSERT, IDC_ADD},
                              {FVIRTKEY | FALT, VK_UP, IDC_UP},
                              {FVIRTKEY | FALT, VK_DOWN, IDC_DOWN}};

// String `textId` with `title` in place of its %1.
std::wstring TextAbout(UINT textId, const std::wstring& title) {
    std::wstring text = fw::LoadText(textId);
    if (const size_t at = text.find(L"%1"); at != std::wstring::npos)
        text.replace(at, 2, title);
    return text;
}

// Copies `text` into `buffer` of `capacity` characters, zero-terminated, cut where it does not
// part a surrogate pair.
void CopyText(const std::wstring& text, wchar_t* buffer, int capacity) {
    if (!buffer || capacity <= 0)
        return;
    const std::wstring_view whole = CutWhole(text, static_cast<size_t>(capacity) - 1);
    std::wmemcpy(buffer, whole.data(), whole.size());
    buffer[whole.size()] = L'\0';
}

// Whether `title` starts with `typed` (is it, unless `partial`). The type-ahead compares as the
// system's standard list view does, by the user's locale without regard to case, because that
// is what users know from every list of Windows; which titles name the same viewer is another
// rule, the registry's (core/ViewerTitle).
bool Matches(const std::wstring& title, std::wstring_view typed, bool partial) {
    const size_t length = partial ? std::min(title.size(), typed.size()) : title.size();
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, title.data(),
                          static_cast<int>(length), typed.data(),
                          static_cast<int>(typed.size())) == CSTR_EQUAL;
}
} // namespace

void ViewerListPane::Bind(fw::DataExchange& dx) {
    dx.Control(IDC_DOWN, downButton);
    dx.Control(IDC_UP, upButton);
    dx.Control(IDC_EDIT, editButton);
    dx.Control(IDC_DELETE, deleteButton);
    dx.Control(IDC_VIEWER_LIST, list);
}

void ViewerListPane::SetUp() {
    list.InsertColumn(titleColumn, fw::LoadText(IDS_COLUMN_TITLE), 120);
    // Together narrower than the list with its scroll bar, so that no header is cut off.
    list.InsertColumn(commandColumn, fw::LoadText(IDS_COLUMN_COMMAND), 200);
    list.InsertColumn(parametersColumn, fw::LoadText(IDS_COLUMN_PARAMETERS), 100);
    dialog.SetControlKeys(IDC_VIEWER_LIST, listKeys);
}

void ViewerListPane::EnsureLoaded() {
    if (model.Loaded())
        return;
    model.Load();
    Show(std::wstring());
}

bool ViewerListPane::Sync(bool yield) {
    if (!model.Loaded())
        return true;
    const std::wstring selected = SelectedTitle();
    if (!model.Load(yield))
        return false;
    Show(selected);
    return true;
}

int ViewerListPane::SelectedRow() const {
    return static_cast<int>(SendMessageW(list.Hwnd(), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

std::wstring ViewerListPane::SelectedTitle() const {
    const int row = SelectedRow();
    const std::vector<StoredViewer>& rows = model.Rows();
    return row >= 0 && row < static_cast<int>(rows.size()) ? rows[row].entry.title : std::wstring();
}

void ViewerListPane::Show(const std::wstring& title) {
    // The list asks for the texts of the rows it draws: a count and a repaint show them all.
    SendMessageW(list.Hwnd(), LVM_SETITEMCOUNT, model.Rows().size(), LVSICF_NOSCROLL);
    const int row = title.empty() ? -1 : model.RowOf(title);
    // One row at most is selected (a change of all rows' states would touch each of them).
    if (const int selected = SelectedRow(); selected >= 0 && selected != row)
        list.SetItemState(selected, 0, LVIS_SELECTED);
    if (row >= 0) {
        list.SetItemState(row, selectedAndFocused, selectedAndFocused);
        SendMessageW(list.Hwnd(), LVM_ENSUREVISIBLE, row, FALSE);
    }
    InvalidateRect(list.Hwnd(), nullptr, FALSE);
    UpdateButtons();
}

void ViewerListPane::UpdateButtons() {
    // Edit and Delete act on the selected row: without one they would do nothing.
    const int selected = SelectedRow();
    deleteButton.Enable(selected >= 0);
    editButton.Enable(selected >= 0);
    upButton.Enable(selected > 0);
    downButton.Enable(selected >= 0 && selected + 1 < static_cast<int>(model.Rows().size()));
}

LRESULT ViewerListPane::OnItemChanged() {
    UpdateButtons();
    return 0;
}

LRESULT ViewerListPane::OnDoubleClick() {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(list.Hwnd(), &point);
    if (list.HitTest(point) >= 0)
        PostMessageW(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_EDIT, BN_CLICKED),
                     reinterpret_cast<LPARAM>(editButton.Hwnd()));
    return 0;
}

LRESULT ViewerListPane::OnGetDispInfo(NMHDR* header) {
    // The dialog is a Unicode window, so the list asks in Unicode.
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    const std::vector<StoredViewer>& rows = model.Rows();
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= static_cast<int>(rows.size()))
        return 0;
    const ViewerEntry& entry = rows[static_cast<size_t>(item.iItem)].entry;
    CopyText(item.iSubItem == titleColumn     ? entry.title
             : item.iSubItem == commandColumn ? entry.command
                                              : entry.parameters,
             item.pszText, item.cchTextMax);
    return 0;
}

LRESULT ViewerListPane::OnFindItem(NMHDR* header) {
    // The list's search as the user types a title's first letters; the dialog is a Unicode
    // window, so the list asks in Unicode.
    const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
    const UINT flags = find->lvfi.flags;
    if (!(flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz)
        return -1;
    const std::vector<StoredViewer>& rows = model.Rows();
    const int focused =
        static_cast<int>(SendMessageW(list.Hwnd(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
    return TypeAheadRow(static_cast<int>(rows.size()), find->iStart, focused, find->lvfi.psz,
                        flags & LVFI_WRAP, [&](int row, std::wstring_view typed) {
                            return Matches(rows[static_cast<size_t>(row)].entry.title, typed,
                                           flags & LVFI_PARTIAL);
                        });
}

bool ViewerListPane::GoesOn(EditStep step, const std::wstring& title) {
    UINT question = 0;
    switch (step) {
    case EditStep::Nothing:
        return false;
    case EditStep::Write:
        return true;
    case EditStep::AskDeleted:
        question = IDS_DELETED;
        break;
    case EditStep::AskChanged:
        question = IDS_CHANGED;
        break;
    case EditStep::AskTaken:
        question = IDS_TAKEN;
        break;
    case EditStep::AskChangedBeforeDelete:
        question = IDS_CHANGED_BEFORE_DELETE;
        break;
    }
    if (dialog.MessageBox(TextAbout(question, title), fw::LoadText(IDS_CONFLICT_CAPTION).c_str(),
                          MB_YESNO | MB_ICONWARNING) == IDYES)
        return true;
    Sync();
    return false;
}

void ViewerListPane::Wrote(bool ok) {
    // A failure is silent: the list then shows what the store really holds, and no edit ever
    // drops an entry before its replacement is written.
    if (!ok)
        Sync();
    if (afterWrite)
        afterWrite();
}

void ViewerListPane::OnAdd() {
    EnsureLoaded();
    EntryEditorDialog editor;
    editor.otherTitles = model.TitlesBut();
    if (editor.DoModal() != IDOK)
        return;
    const ViewerEntry entry{editor.title, editor.command, editor.parameters};
    if (!GoesOn(model.StepOfAdding(entry), entry.title))
        return;
    Wrote(model.Add(entry));
    Show(entry.title);
}

void ViewerListPane::OnEdit() {
    const std::wstring title = SelectedTitle();
    if (title.empty())
        return;
    // What the store holds now, not what the list showed: an unchanged OK then writes nothing.
    const std::optional<ViewerEntry> before = model.Read(title);
    if (!before) {
        Sync(); // gone meanwhile
        return;
    }
    EntryEditorDialog editor;
    editor.title = before->title;
    editor.command = before->command;
    editor.parameters = before->parameters;
    editor.otherTitles = model.TitlesBut(title);
    if (editor.DoModal() != IDOK)
        return;
    const ViewerEntry after{editor.title, editor.command, editor.parameters};
    const EditStep step = model.StepOfEditing(*before, after);
    if (!GoesOn(step, step == EditStep::AskTaken ? after.title : title))
        return;
    Wrote(model.Edit(title, after));
    Show(after.title);
}

void ViewerListPane::OnDelete() {
    const int selected = SelectedRow();
    if (selected < 0 || selected >= static_cast<int>(model.Rows().size()))
        return;
    const ViewerEntry shown = model.Rows()[static_cast<size_t>(selected)].entry;
    if (dialog.MessageBox(shown.title + fw::LoadText(IDS_DELETE_QUESTION),
                          fw::LoadText(IDS_DELETE_CAPTION).c_str(), MB_OKCANCEL) != IDOK)
        return;
    const EditStep step = model.StepOfDeleting(shown);
    if (step == EditStep::Nothing)
        Sync(); // gone meanwhile
    if (!GoesOn(step, shown.title))
        return;
    Wrote(model.Delete(shown.title));
    // Nothing is selected any more.
    Show(std::wstring());
}

void ViewerListPane::OnMove(int step) {
    const std::wstring title = SelectedTitle();
    if (title.empty())
        return;
    Wrote(model.Move(title, step));
    Show(title);
}
