#include "mainwindow/ViewerListPane.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <numeric>

#include "editor/EntryEditorDialog.h"
#include "framework/DataExchange.h"
#include "framework/App.h"
#include "framework/Dialog.h"
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

// What another program did while the user edited a viewer (string `textId`, after the title
// in 「」) and what each answer does.
std::wstring Quoted(const std::wstring& title, UINT textId) {
    return L"「" + title + fw::LoadText(textId);
}

bool SameValues(const ViewerEntry& a, const ViewerEntry& b) {
    return a.title == b.title && a.command == b.command && a.parameters == b.parameters;
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

// Whether `title` starts with `wanted` (the whole of it unless `partial`), without regard to
// case, as the list's own search compares.
bool Matches(const std::wstring& title, const std::wstring& wanted, bool partial) {
    std::wstring wide = title;
    if (partial && wide.size() > wanted.size())
        wide.resize(wanted.size());
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wide.data(),
                          static_cast<int>(wide.size()), wanted.data(),
                          static_cast<int>(wanted.size())) == CSTR_EQUAL;
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
    if (loaded)
        return;
    Load();
    Show(std::wstring());
}

bool ViewerListPane::Sync(bool yield) {
    if (!loaded)
        return true;
    const std::wstring selected = SelectedTitle();
    if (!Load(yield))
        return false;
    Show(selected);
    return true;
}

bool ViewerListPane::Load(bool yield) {
    loaded = true;
    // The rows read before, by title, to keep the values of the viewers that did not change.
    std::vector<size_t> byTitle(rows.size());
    std::iota(byTitle.begin(), byTitle.end(), size_t{0});
    const auto titleLess = [this](size_t a, size_t b) {
        return rows[a].entry.title < rows[b].entry.title;
    };
    std::sort(byTitle.begin(), byTitle.end(), titleLess);
    const auto known = [&](const std::wstring& title,
                           const FILETIME& written) -> const ViewerEntry* {
        const auto found = std::lower_bound(
            byTitle.begin(), byTitle.end(), title,
            [this](size_t row, const std::wstring& t) { return rows[row].entry.title < t; });
        if (found == byTitle.end() || rows[*found].entry.title != title ||
            CompareFileTime(&rows[*found].written, &written) != 0)
            return nullptr;
        return &rows[*found].entry;
    };
    // A click or key (or a command posted as a click) that waits goes first.
    const auto userWaits = [] {
        return HIWORD(GetQueueStatus(QS_KEY | QS_MOUSEBUTTON | QS_POSTMESSAGE)) != 0;
    };
    std::optional<std::vector<StoredViewer>> read =
        ViewerStore().LoadChanged(known, yield ? std::function<bool()>(userWaits) : nullptr);
    if (!read)
        return false;
    rows = std::move(*read);
    return true;
}

int ViewerListPane::RowOf(const std::wstring& title) const {
    const auto found =
        FindTitle(rows.begin(), rows.end(), title,
                  [](const StoredViewer& row) -> const std::wstring& { return row.entry.title; });
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

void ViewerListPane::Forget(const std::wstring& title) {
    if (const int row = RowOf(title); row >= 0)
        rows.erase(rows.begin() + row);
}

int ViewerListPane::SelectedRow() const {
    return static_cast<int>(SendMessageW(list.Hwnd(), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

std::wstring ViewerListPane::SelectedTitle() const {
    const int row = SelectedRow();
    return row >= 0 && row < static_cast<int>(rows.size()) ? rows[row].entry.title : std::wstring();
}

void ViewerListPane::Show(const std::wstring& title) {
    // The list asks for the texts of the rows it draws: a count and a repaint show them all.
    SendMessageW(list.Hwnd(), LVM_SETITEMCOUNT, rows.size(), LVSICF_NOSCROLL);
    const int row = title.empty() ? -1 : RowOf(title);
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
    downButton.Enable(selected >= 0 && selected + 1 < static_cast<int>(rows.size()));
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
    if (!(flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz || rows.empty())
        return -1;
    const std::wstring wanted = find->lvfi.psz;
    const int count = static_cast<int>(rows.size());
    const int start = std::clamp(find->iStart, 0, count - 1);
    const int tries = flags & LVFI_WRAP ? count : count - start;
    for (int i = 0; i < tries; ++i) {
        const int row = (start + i) % count;
        if (Matches(rows[static_cast<size_t>(row)].entry.title, wanted, flags & LVFI_PARTIAL))
            return row;
    }
    return -1;
}

bool ViewerListPane::KeepMyEdit(const std::wstring& question) {
    return dialog.MessageBox(question, fw::LoadText(IDS_CONFLICT_CAPTION).c_str(),
                             MB_YESNO | MB_ICONWARNING) == IDYES;
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
    for (const StoredViewer& row : rows)
        editor.otherTitles.push_back(row.entry.title);
    if (editor.DoModal() != IDOK)
        return;

    const ViewerEntry entry{editor.title, editor.command, editor.parameters};
    // Another program may have stored a viewer of that title while the editor was open.
    if (ViewerStore().Read(entry.title) && !KeepMyEdit(Quoted(entry.title, IDS_TAKEN))) {
        Sync();
        return;
    }
    const bool ok = ViewerStore().Add(entry);
    if (ok) {
        Forget(entry.title);
        rows.push_back({entry, {}}); // read again at the next sync, as written since
    }
    Wrote(ok);
    Show(entry.title);
}

void ViewerListPane::OnEdit() {
    const std::wstring title = SelectedTitle();
    if (title.empty())
        return;
    // What the store holds now, not what the list showed: an unchanged OK then writes nothing.
    const std::optional<ViewerEntry> before = ViewerStore().Read(title);
    if (!before) {
        Sync(); // gone meanwhile
        return;
    }

    EntryEditorDialog editor;
    editor.title = before->title;
    editor.command = before->command;
    editor.parameters = before->parameters;
    const int edited = RowOf(title);
    for (int row = 0, count = static_cast<int>(rows.size()); row < count; ++row)
        if (row != edited)
            editor.otherTitles.push_back(rows[static_cast<size_t>(row)].entry.title);
    if (editor.DoModal() != IDOK)
        return;
    const ViewerEntry after{editor.title, editor.command, editor.parameters};
    if (SameValues(after, *before))
        return;

    // What another program did while the editor was open is replaced only when the user says.
    const std::optional<ViewerEntry> now = ViewerStore().Read(title);
    const bool renamed = !SameTitle(after.title, title);
    std::wstring question;
    if (!now)
        question = Quoted(title, IDS_DELETED);
    else if (now->command != before->command || now->parameters != before->parameters)
        question = Quoted(title, IDS_CHANGED);
    else if (renamed && ViewerStore().Read(after.title))
        question = Quoted(after.title, IDS_TAKEN);
    if (!question.empty() && !KeepMyEdit(question)) {
        Sync();
        return;
    }

    const bool ok = ViewerStore().Update(title, after);
    if (ok) {
        if (renamed)
            Forget(after.title); // the viewer of that title that the user chose to replace
        const int row = RowOf(title);
        if (row >= 0)
            rows[static_cast<size_t>(row)] = {after, {}};
        else
            rows.push_back({after, {}});
    }
    Wrote(ok);
    Show(after.title);
}

void ViewerListPane::OnDelete() {
    const int selected = SelectedRow();
    if (selected < 0 || selected >= static_cast<int>(rows.size()))
        return;
    const ViewerEntry shown = rows[static_cast<size_t>(selected)].entry;
    if (dialog.MessageBox(shown.title + fw::LoadText(IDS_DELETE_QUESTION),
                          fw::LoadText(IDS_DELETE_CAPTION).c_str(), MB_OKCANCEL) != IDOK)
        return;

    const std::optional<ViewerEntry> now = ViewerStore().Read(shown.title);
    if (!now) {
        Sync(); // gone meanwhile
        return;
    }
    if ((now->command != shown.command || now->parameters != shown.parameters) &&
        !KeepMyEdit(Quoted(shown.title, IDS_CHANGED_BEFORE_DELETE))) {
        Sync();
        return;
    }
    const bool ok = ViewerStore().Delete(shown.title);
    if (ok)
        Forget(shown.title);
    Wrote(ok);
    // Nothing is selected any more.
    Show(std::wstring());
}

void ViewerListPane::OnMove(int step) {
    const std::wstring title = SelectedTitle();
    if (title.empty())
        return;
    const bool ok = ViewerStore().Move(title, step);
    const int row = RowOf(title);
    const int neighbour = row + step;
    if (ok && row >= 0 && neighbour >= 0 && neighbour < static_cast<int>(rows.size()))
        std::swap(rows[static_cast<size_t>(row)], rows[static_cast<size_t>(neighbour)]);
    Wrote(ok);
    Show(title);
}
