#pragma once
// The main dialog's list of viewers (title, command, parameters) with its buttons to add, edit,
// delete and reorder them: it shows the rows of the list's model (the list view asks for the
// texts of the rows it draws), runs the editor and asks the user what ListEdits.h says to ask.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "mainwindow/ViewerListModel.h"

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
    int SelectedRow() const;
    // The selected viewer's title; empty without one.
    std::wstring SelectedTitle() const;
    // Shows the rows anew with `title` selected (none when it is empty or gone).
    void Show(const std::wstring& title);
    void UpdateButtons();
    // Whether an edit that reached `step` is to be written: asks the user when the step is a
    // question about viewer `title`. An edit that is not to be written leaves the list
    // showing what the store holds.
    bool GoesOn(EditStep step, const std::wstring& title);
    // After a write: tells the owner; a failed one leaves the list showing what the store
    // really holds.
    void Wrote(bool ok);

    fw::Dialog& dialog;
    fw::Window downButton, upButton, editButton, deleteButton;
    fw::ListView list;
    ViewerListModel model;
};
