#pragma once
// The main dialog's list of viewers (title, command, parameters) with its buttons to add, edit,
// delete and reorder them. The rows are the only copy of the entries in memory; every change
// is written to the store at once.

#include <windows.h>

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
    // Creates the columns and loads the rows from the store.
    void SetUp();
    // Replaces every row by the store's entries.
    void Load();

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
    void Save();
    int SelectedRow() const;
    void UpdateMoveButtons();
    ViewerStore Store() const { return ViewerStore(settingsProduct, faults); }

    fw::Dialog& dialog;
    fw::Window downButton, upButton, editButton, deleteButton;
    fw::ListView list;
    StoreFaults* faults = nullptr;
};
