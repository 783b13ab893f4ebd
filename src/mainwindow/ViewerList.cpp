// The list of viewers in the main dialog, and its editing. The rows of the list are the only
// copy of the entries in memory: every change is written to the store at once.

#include "mainwindow/MainDialog.h"

#include <vector>

#include "editor/EntryEditorDialog.h"
#include "resource.h"
#include "store/ViewerStore.h"

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

void MainDialog::SetUpList() {
    viewerList.InsertColumn(titleColumn, "タイトル", 120);
    viewerList.InsertColumn(commandColumn, "コマンド", 300);
    viewerList.InsertColumn(parametersColumn, "ﾊﾟﾗﾒｰﾀ", 100);
    LoadList();
}

void MainDialog::LoadList() {
    viewerList.DeleteAllItems();
    SettingsKey settings;
    for (const ViewerEntry& entry : LoadViewers(settings)) {
        const int row = viewerList.InsertItem(viewerList.ItemCount(), entry.title);
        if (row < 0)
            continue;
        viewerList.SetItemText(row, commandColumn, entry.command);
        viewerList.SetItemText(row, parametersColumn, entry.parameters);
    }
}

void MainDialog::SaveList() {
    std::vector<ViewerEntry> rows;
    for (int row = 0, count = viewerList.ItemCount(); row < count; ++row)
        rows.push_back(RowOf(viewerList, row));
    // A failure is silent: the next load shows what the store really holds, and the store never
    // drops an entry before the new ones are written.
    SettingsKey settings;
    SaveViewers(settings, rows);
}

int MainDialog::GetSelectedIndex() const {
    for (int row = 0, count = viewerList.ItemCount(); row < count; ++row)
        if (viewerList.ItemState(row, LVIS_SELECTED) & LVIS_SELECTED)
            return row;
    return -1;
}

void MainDialog::UpdateMoveButtons() {
    const int selected = GetSelectedIndex();
    upButton.Enable(selected > 0);
    downButton.Enable(selected >= 0 && selected + 1 < viewerList.ItemCount());
}

void MainDialog::OnListItemChanged(NMHDR*, LRESULT* result) {
    // Edit and Delete act on the selected row: without one they would do nothing.
    const bool selected = GetSelectedIndex() >= 0;
    deleteButton.Enable(selected);
    editButton.Enable(selected);
    UpdateMoveButtons();
    *result = 0;
}

void MainDialog::OnListDblClk(NMHDR*, LRESULT* result) {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(viewerList.Hwnd(), &point);
    if (viewerList.HitTest(point) >= 0)
        PostMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_EDIT, BN_CLICKED),
                     reinterpret_cast<LPARAM>(editButton.Hwnd()));
    *result = 0;
}

void MainDialog::OnAddEntry() {
    EntryEditorDialog editor;
    for (int row = 0, count = viewerList.ItemCount(); row < count; ++row)
        editor.otherTitles.push_back(viewerList.ItemText(row, titleColumn));
    if (editor.DoModal() != IDOK)
        return;

    const int row = viewerList.InsertItem(viewerList.ItemCount(), editor.title);
    if (row >= 0) {
        viewerList.SetItemText(row, commandColumn, editor.command);
        viewerList.SetItemText(row, parametersColumn, editor.parameters);
    }
    SaveList();
    LoadList();

    const int added = viewerList.FindItem(editor.title);
    if (added < 0)
        return; // the store did not take it
    SelectRow(viewerList, added);
    deleteButton.Enable(true);
    editButton.Enable(true);
}

void MainDialog::OnEditEntry() {
    UpdateData(TRUE);
    const int selected = GetSelectedIndex();
    if (selected < 0)
        return;

    EntryEditorDialog editor;
    const ViewerEntry entry = RowOf(viewerList, selected);
    editor.title = entry.title;
    editor.command = entry.command;
    editor.parameters = entry.parameters;
    for (int row = 0, count = viewerList.ItemCount(); row < count; ++row)
        if (row != selected)
            editor.otherTitles.push_back(viewerList.ItemText(row, titleColumn));
    if (editor.DoModal() != IDOK)
        return;

    SetRow(viewerList, selected, {editor.title, editor.command, editor.parameters});
    SaveList();
    LoadList();
}

void MainDialog::OnDeleteEntry() {
    const int selected = GetSelectedIndex();
    if (selected < 0)
        return;
    const std::string title = viewerList.ItemText(selected, titleColumn);
    if (MessageBox((title + deleteQuestion).c_str(), deleteCaption, MB_OKCANCEL) != IDOK)
        return;

    {
        SettingsKey settings;
        DeleteViewer(settings, title);
    }
    viewerList.DeleteItem(selected);
    deleteButton.Enable(false);
    editButton.Enable(false);
    // Nothing is selected any more.
    UpdateMoveButtons();
}

void MainDialog::OnMoveUp() {
    if (MoveSelectedRow(viewerList, GetSelectedIndex(), -1)) {
        UpdateMoveButtons();
        SaveList();
    }
}

void MainDialog::OnMoveDown() {
    if (MoveSelectedRow(viewerList, GetSelectedIndex(), +1)) {
        UpdateMoveButtons();
        SaveList();
    }
}
