#pragma once
// The dialog in which the user types one viewer entry: its title, its command (which the
// browse button can pick with the file-open dialog) and its parameters.

#include <span>
#include <string>
#include <vector>

#include "framework/Dialog.h"

class EntryEditorDialog : public fw::Dialog {
  public:
    // `parent` is null: the framework makes the main dialog the owner.
    explicit EntryEditorDialog(fw::Dialog* parent = nullptr);

    // Set by the caller before DoModal, read after it returned IDOK.
    std::wstring command;
    std::wstring title;
    std::wstring parameters;
    // The titles of the other entries: OK refuses a title that equals one of them without
    // regard to case, because the store would keep only one of the two.
    std::vector<std::wstring> otherTitles;

  protected:
    // Makes OK the button that Enter presses.
    BOOL OnInitDialog() override;
    // Ends the dialog only with an entry that the store and the launch can hold; otherwise
    // says why and keeps the dialog open with the typed text.
    void OnOK() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    std::span<const fw::MessageEntry> MessageTable() const override;

  private:
    void OnBrowse();
    // A menu of the programs found on the machine (FoundPrograms): the one picked becomes the
    // command, and its name the title when the title is empty. Nothing is stored until OK.
    void OnFoundPrograms();
    // True when the fields hold an entry that can be stored and launched; else tells the user
    // and puts the focus on the field at fault.
    bool CheckEntry();
    void Refuse(int controlId, const std::wstring& message);

    static const fw::MessageEntry messageTable[];
};
