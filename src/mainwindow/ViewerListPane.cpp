#include "mainwindow/ViewerListPane.h"

#include <vector>

#include "editor/EntryEditorDialog.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "mainwindow/ListKeys.h"
#include "resource.h"

namespace {

constexpr int titleColumn = 0;
constexpr int commandColumn = 1;
constexpr int parametersColumn = 2;
constexpr const char* deleteQuestion = "を削除しますか"; // after the title
constexpr const char* deleteCaption = "削除確認";
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
    list.InsertColumn(titleColumn, "タイトル", 120);
    list.InsertColumn(commandColumn, "コマンド", 300);
    list.InsertColumn(parametersColumn, "ﾊﾟﾗﾒｰﾀ", 100);
    RouteListKeys(list.Hwnd());
    Load();
}

void ViewerListPane::Load() {
    list.DeleteAllItems();
    for (const ViewerEntry& entry : Store().Load()) {
        const int row = list.InsertItem(list.ItemCount(), entry.title);
        if (row < 0)
            continue;
        list.SetItemText(row, commandColumn, entry.command);
        list.SetItemText(row, parametersColumn, entry.parameters);
    }
}

void ViewerListPane::Save() {
    std::vector<ViewerEntry> rows;
    for (int row = 0, count = list.ItemCount(); row < count; ++row)
        rows.push_back(RowOf(list, row));
    // A failure is silent: the next load shows what the store really holds, and the store never
    // drops an entry before the new ones are written.
    Store().Save(rows);
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
    EntryEditorDialog editor;
    for (int row = 0, count = list.ItemCount(); row < count; ++row)
        editor.otherTitles.push_back(list.ItemText(row, titleColumn));
    if (editor.DoModal() != IDOK)
        return;

    const int row = list.InsertItem(list.ItemCount(), editor.title);
    if (row >= 0) {
        list.SetItemText(row, commandColumn, editor.command);
        list.SetItemText(row, parametersColumn, editor.parameters);
    }
    Save();
    Load();

    const int added = list.FindItem(editor.title);
    if (added < 0)
        return; // the store did not take it
    SelectRow(list, added);
    deleteButton.Enable(true);
    editButton.Enable(true);
}

void ViewerListPane::OnEdit() {
    dialog.UpdateData(TRUE);
    const int selected = SelectedRow();
    if (selected < 0)
        return;

    EntryEditorDialog editor;
    const ViewerEntry entry = RowOf(list, selected);
    editor.title = entry.title;
    editor.command = entry.command;
    editor.parameters = entry.parameters;
    for (int row = 0, count = list.ItemCount(); row < count; ++row)
        if (row != selected)
            editor.otherTitles.push_back(list.ItemText(row, titleColumn));
    if (editor.DoModal() != IDOK)
        return;

    SetRow(list, selected, {editor.title, editor.command, editor.parameters});
    Save();
    Load();
}

void ViewerListPane::OnDelete() {
    const int selected = SelectedRow();
    if (selected < 0)
        return;
    const std::string title = list.ItemText(selected, titleColumn);
    if (dialog.MessageBox((title + deleteQuestion).c_str(), deleteCaption, MB_OKCANCEL) != IDOK)
        return;

    Store().Delete(title);
    list.DeleteItem(selected);
    deleteButton.Enable(false);
    editButton.Enable(false);
    // Nothing is selected any more.
    UpdateMoveButtons();
}

void ViewerListPane::OnMove(int step) {
    if (MoveSelectedRow(list, SelectedRow(), step)) {
        UpdateMoveButtons();
        Save();
    }
}
