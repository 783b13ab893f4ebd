#include "mainwindow/ViewerListPane.h"

#include <vector>

#include "editor/EntryEditorDialog.h"
#include "framework/DataExchange.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "platform/AnsiText.h"
#include "mainwindow/ListKeys.h"
#include "resource.h"

namespace {

constexpr int titleColumn = 0;
constexpr int commandColumn = 1;
constexpr int parametersColumn = 2;
constexpr UINT selectedAndFocused = LVIS_SELECTED | LVIS_FOCUSED;

ViewerEntry RowOf(const fw::ListView& list, int row) {
    return {list.ItemText(row, titleColumn), list.ItemText(row, commandColumn),
            list.ItemText(row, parametersColumn)};
}

void SetRow(const fw::ListView& list, int row, const ViewerEntry& entry) {
    list.SetItemText(row, titleColumn, entry.title);
    list.SetItemText(row, commandColumn, entry.command);
    list.SetItemText(row, parametersColumn, entry.parameters);
}

// Selects and focuses `row` and scrolls it into view.
void SelectRow(const fw::ListView& list, int row) {
    list.SetItemState(row, selectedAndFocused, selectedAndFocused);
    SendMessageA(list.Hwnd(), LVM_ENSUREVISIBLE, row, FALSE);
}

// Swaps the texts of row `selected` with those of its neighbour `step` rows away (−1 above, +1
// below) and moves the selection along. False when there is no such pair of rows.
bool MoveSelectedRow(const fw::ListView& list, int selected, int step) {
    const int neighbour = selected + step;
    if (selected < 0 || neighbour < 0 || neighbour >= list.ItemCount())
        return false;
    const ViewerEntry moved = RowOf(list, selected);
    SetRow(list, selected, RowOf(list, neighbour));
    SetRow(list, neighbour, moved);
    SelectRow(list, neighbour);
    return true;
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
    RouteListKeys(list.Hwnd());
}

void ViewerListPane::EnsureLoaded() {
    if (!loaded)
        Load();
}

void ViewerListPane::Reload() {
    if (!loaded)
        return;
    const int selected = SelectedRow();
    const std::string title = selected >= 0 ? list.ItemText(selected, titleColumn) : "";
    Load();
    const int found = title.empty() ? -1 : list.FindItem(title);
    if (found >= 0)
        Select(found);
    else
        OnItemChanged(); // nothing selected any more
}

void ViewerListPane::Load() {
    loaded = true;
    list.DeleteAllItems();
    for (const ViewerEntry& entry : Store().Load()) {
        const int row = list.InsertItem(list.ItemCount(), entry.title);
        if (row < 0)
            continue;
        list.SetItemText(row, commandColumn, entry.command);
        list.SetItemText(row, parametersColumn, entry.parameters);
    }
}

std::vector<std::string> ViewerListPane::Titles() const {
    std::vector<std::string> titles;
    for (int row = 0, count = list.ItemCount(); row < count; ++row)
        titles.push_back(list.ItemText(row, titleColumn));
    return titles;
}

void ViewerListPane::Wrote(bool ok) {
    // A failure is silent: the list then shows what the store really holds, and no edit ever
    // drops an entry before its replacement is written.
    if (!ok)
        Load();
    if (afterWrite)
        afterWrite();
}

void ViewerListPane::Select(int row) {
    SelectRow(list, row);
    deleteButton.Enable(true);
    editButton.Enable(true);
}

int ViewerListPane::SelectedRow() const {
    for (int row = 0, count = list.ItemCount(); row < count; ++row)
        if (list.ItemState(row, LVIS_SELECTED) & LVIS_SELECTED)
            return row;
    return -1;
}

void ViewerListPane::UpdateMoveButtons() {
    const int selected = SelectedRow();
    upButton.Enable(selected > 0);
    downButton.Enable(selected >= 0 && selected + 1 < list.ItemCount());
}

LRESULT ViewerListPane::OnItemChanged() {
    // Edit and Delete act on the selected row: without one they would do nothing.
    const bool selected = SelectedRow() >= 0;
    deleteButton.Enable(selected);
    editButton.Enable(selected);
    UpdateMoveButtons();
    return 0;
}

LRESULT ViewerListPane::OnDoubleClick() {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(list.Hwnd(), &point);
    if (list.HitTest(point) >= 0)
        PostMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_EDIT, BN_CLICKED),
                     reinterpret_cast<LPARAM>(editButton.Hwnd()));
    return 0;
}

void ViewerListPane::OnAdd() {
    EnsureLoaded();
    EntryEditorDialog editor;
    editor.otherTitles = Titles();
    if (editor.DoModal() != IDOK)
        return;

    const ViewerEntry entry{editor.title, editor.command, editor.parameters};
    std::vector<std::string> order = Titles();
    order.push_back(entry.title);
    const bool ok = Store().Add(entry, order);
    if (ok) {
        const int row = list.InsertItem(list.ItemCount(), entry.title);
        SetRow(list, row, entry);
    }
    Wrote(ok);
    const int added = list.FindItem(entry.title);
    if (added >= 0) // else the store did not take it
        Select(added);
}

void ViewerListPane::OnEdit() {
    dialog.UpdateData(TRUE);
    const int selected = SelectedRow();
    if (selected < 0)
        return;

    EntryEditorDialog editor;
    const ViewerEntry before = RowOf(list, selected);
    editor.title = before.title;
    editor.command = before.command;
    editor.parameters = before.parameters;
    for (int row = 0, count = list.ItemCount(); row < count; ++row)
        if (row != selected)
            editor.otherTitles.push_back(list.ItemText(row, titleColumn));
    if (editor.DoModal() != IDOK)
        return;

    const ViewerEntry after{editor.title, editor.command, editor.parameters};
    std::vector<std::string> order = Titles();
    order[selected] = after.title;
    const bool ok = Store().Update(before.title, after, order);
    if (ok)
        SetRow(list, selected, after);
    Wrote(ok);
}

void ViewerListPane::OnDelete() {
    const int selected = SelectedRow();
    if (selected < 0)
        return;
    const std::string title = list.ItemText(selected, titleColumn);
    if (dialog.MessageBox(platform::WideFromAnsi(title) + fw::LoadText(IDS_DELETE_QUESTION),
                          fw::LoadText(IDS_DELETE_CAPTION).c_str(), MB_OKCANCEL) != IDOK)
        return;

    const bool ok = Store().Delete(title);
    list.DeleteItem(selected);
    deleteButton.Enable(false);
    editButton.Enable(false);
    // Nothing is selected any more.
    UpdateMoveButtons();
    Wrote(ok);
}

void ViewerListPane::OnMove(int step) {
    if (MoveSelectedRow(list, SelectedRow(), step)) {
        UpdateMoveButtons();
        Wrote(Store().Reorder(Titles()));
    }
}
