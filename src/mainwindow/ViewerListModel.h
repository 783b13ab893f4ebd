#pragma once
// The viewers that the list window shows, as data in the store's order, and the edits the
// window makes of them. It knows no window: the list pane shows its rows, runs the editor and
// asks the questions (ListEdits.h says when), and tells it what to write.
//
// The rows are read when the window is first shown and synced with the store whenever the store
// changed, whoever changed it; an edit writes what it changes to the store at once and changes
// the rows to match. Nothing keeps a row number across a message loop (the editor, a
// question): a viewer is named by its title, and its row is looked up again afterwards.

#include <optional>
#include <string>
#include <vector>

#include "core/ListEdits.h"
#include "store/ViewerStore.h"

class ViewerListModel {
  public:
    const std::vector<StoredViewer>& Rows() const { return rows; }
    // Whether the rows were read; until then Sync reads nothing.
    bool Loaded() const { return loaded; }
    // Makes the rows what the store holds, reading only the viewers whose keys changed. With
    // `yield`, a click or key that waits stops it, and it returns false (the rows stay as they
    // were): the look is to be taken up again later.
    bool Load(bool yield = false);
    // The row of `title` (as the store names keys, without regard to case), or −1.
    int RowOf(const std::wstring& title) const;
    // The titles of all rows but `except`'s (none: all).
    std::vector<std::wstring> TitlesBut(const std::wstring& except = {}) const;

    // What adding `entry` does now (StepOfAdd); then Add writes it.
    EditStep StepOfAdding(const ViewerEntry& entry);
    bool Add(const ViewerEntry& entry);

    // Viewer `title` as the store holds it now, for the editor; none when it is gone.
    std::optional<ViewerEntry> Read(const std::wstring& title);
    // What editing viewer `before` into `after` does now (StepOfEdit); then Edit writes it.
    EditStep StepOfEditing(const ViewerEntry& before, const ViewerEntry& after);
    bool Edit(const std::wstring& title, const ViewerEntry& after);

    // What deleting viewer `shown` does now (StepOfDelete); then Delete deletes it.
    EditStep StepOfDeleting(const ViewerEntry& shown);
    bool Delete(const std::wstring& title);

    // Moves viewer `title` one place up (−1) or down (+1) in the store's order.
    bool Move(const std::wstring& title, int step);

  private:
    // Removes the row of `title`, if there is one.
    void Forget(const std::wstring& title);

    bool loaded = false;
    std::vector<StoredViewer> rows;
};
