#pragma once
// The main dialog's list of viewers (title, command, parameters) with its buttons to add, edit,
// delete and reorder them. The pane keeps the viewers it shows as data, in the store's order,
// and the list view only displays them (it asks for the texts of the rows it draws). They are
// read when the window is first shown and synced with the store whenever the store changed,
// whoever changed it; every edit writes what it changes to the store at once.
//
// Nothing here keeps a row number across a message loop (the editor, a question): a viewer is
// named by its title, and its row is looked up again afterwards. An edit never undoes what
// another program did meanwhile: the editor opens with the store's values, and when the store
// no longer holds what the user began from, the user chooses between the two.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "store/ViewerStore.h"

namespace fw {
class DataExchange;
class Dialog;
} // namespace fw

class ViewerListPane {
  public:
    explicit ViewerListPane(fw::Dialog& dialog) : dialog(dialog) {}

    // Binds the list and its buttons to the dialog's controls.
    void Bind(fw::DataExchange& dx);
    // Creates the columns; the rows are read by EnsureLoaded.
    void SetUp();
    // Reads the rows from the store, the first time only.
    void EnsureLoaded();
    // When the rows were read before, makes them what the store holds now (reading only the
    // viewers whose keys changed), keeping the selected title selected. With `yield`, a click
    // or key that waits stops it, and it returns false (the rows stay as they were): the look
    // is to be taken up again later.
    bool Sync(bool yield = false);
    // Called after each write of an edit to the store.
    std::function<void()> afterWrite;

    void OnAdd();
    void OnEdit();
    void OnDelete();
    // Moves the selected viewer one place up (−1) or down (+1) in the store's order.
    void OnMove(int step);
    // The list's notifications; their results.
    LRESULT OnItemChanged();
    LRESULT OnDoubleClick();
    LRESULT OnGetDispInfo(NMHDR* header);
    LRESULT OnFindItem(NMHDR* header);

  private:
    // Makes the rows what the store holds, reading only the viewers whose keys changed; false
    // when `yield` stopped it (see Sync).
    bool Load(bool yield = false);
    // The row of `title` (without regard to case, as the store names keys), or −1.
    int RowOf(const std::wstring& title) const;
    // Removes the row of `title`, if there is one.
    void Forget(const std::wstring& title);
    int SelectedRow() const;
    // The selected viewer's title; empty without one.
    std::wstring SelectedTitle() const;
    // Shows the rows anew with `title` selected (none when it is empty or gone).
    void Show(const std::wstring& title);
    void UpdateButtons();
    // Asks whether the user's edit is to replace what another program stored; `question`
    // says what happened and what each answer does.
    bool KeepMyEdit(const std::wstring& question);
    // After a write: tells the owner; a failed one leaves the list showing what the store
    // really holds.
    void Wrote(bool ok);

    fw::Dialog& dialog;
    fw::Window downButton, upButton, editButton, deleteButton;
    fw::ListView list;
    bool loaded = false;
    std::vector<StoredViewer> rows;
};
