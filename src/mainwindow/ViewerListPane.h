#pragma once
// The main dialog's list of viewers (title, command, parameters) with its buttons to add, edit,
// delete and reorder them. The rows are the only copy of the entries in memory. They are read
// when the window is first shown, read again whenever the store changes behind Brindle's back,
// and every edit writes what it changes to the store at once.

#include <windows.h>

#include <functional>
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
    // Reads the rows again when they were read before, keeping the selected title selected.
    void Reload();
    // Called after each write of an edit to the store.
    std::function<void()> afterWrite;

    void OnAdd();
    void OnEdit();
    void OnDelete();
    // Moves the selected row one place up (−1) or down (+1) and saves the list.
    void OnMove(int step);
    // The list's item-changed and double-click notifications; their results.
    LRESULT OnItemChanged();
    LRESULT OnDoubleClick();

    void InjectStoreFaults(StoreFaults* injected) { faults = injected; }

  private:
    void Load();
    // The titles of the rows, in their order.
    std::vector<std::string> Titles() const;
    // After a write: tells the owner; after a failed one, shows what the store really holds.
    void Wrote(bool ok);
    void Select(int row);
    int SelectedRow() const;
    void UpdateMoveButtons();
    ViewerStore Store() const { return ViewerStore(settingsProduct, faults); }

    fw::Dialog& dialog;
    fw::Window downButton, upButton, editButton, deleteButton;
    fw::ListView list;
    StoreFaults* faults = nullptr;
    bool loaded = false;
};
