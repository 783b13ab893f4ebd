#pragma once
// The store of viewers, spoken of in viewers, not keys: what the rest of Brindle reads from the
// registry and edits there. Its layout is store/ViewerLayout.h, its order store/ViewerOrder.h;
// each of its jobs is a file of its own: the reads (ViewerStore.cpp), the list window's edits
// (ViewerEdits.cpp), the viewer chosen last (LastChoice.cpp) and the start-hidden count
// (StartHidden.cpp).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/ViewerLayout.h"

// The values read before of viewer `title` whose key was then last written at `written`; null
// when there are none (the viewer is then read).
using KnownValues =
    std::function<const ViewerEntry*(const std::wstring& title, const FILETIME& written)>;

// The viewers of one product key. Made on the stack for each use: it holds the root key open
// while it lives, and no key beyond that.
class ViewerStore {
  public:
    explicit ViewerStore(const wchar_t* product = settingsProduct);

    // The titles in menu order, each spelt as its key is, in UTF-16 (see KeysInMenuOrder).
    // None without a `Menus` key.
    std::vector<std::wstring> Titles();

    // All viewers in menu order. Command and `Param` are read in full, however long (an edit
    // writes them back unchanged); a missing one reads as "". An entry whose key cannot be
    // opened is left out.
    std::vector<ViewerEntry> Load();
    // The same with the time each key was last written. The values that `known` returns for a
    // viewer are taken instead of being read, unless its key was written in the last two
    // seconds: two writes within one tick of the registry's clock leave the same time. `stop`,
    // unless empty, is asked every few keys while the keys are enumerated; none when it said
    // to stop.
    std::optional<std::vector<StoredViewer>>
    LoadChanged(const KnownValues& known, const std::function<bool()>& stop = nullptr);
    // Viewer `title` as stored now, its values read in full; none when it does not exist.
    std::optional<ViewerEntry> Read(const std::wstring& title);
    // The values of viewer `title` whole, as stored (for a launch, which decides what it can
    // take); none when it does not exist.
    std::optional<StoredValues> ReadStored(const std::wstring& title);

    // The edits of the list window, each writing only what it changes, and each deleting
    // nothing the user did not delete: what another program stored meanwhile stays. Where the
    // order changes, `Order` is written from the store's order at that moment with the one
    // change applied, so no title that the store holds ever leaves it (see OrderForEdit). A
    // failure or an interruption at any step loses no entry (a rename may leave both names).
    // True when every step succeeded.
    //
    // Add: writes `entry` (over a viewer of the same title, if there is one), then the order
    // with its title last.
    bool Add(const ViewerEntry& entry);
    // Update: writes `entry` in place of viewer `oldTitle`. Under the same title it writes the
    // two values only; under a new one it writes the new viewer, then the order with the new
    // title in the old one's place (last when the old one is gone), and only then deletes the
    // old viewer; the last choice, when it was the old title, becomes the new one.
    bool Update(const std::wstring& oldTitle, const ViewerEntry& entry);
    // Move: swaps viewer `title` with its neighbour `step` places away in the order (−1: the
    // one above, +1: the one below) and writes the order, nothing else. False when either is
    // missing.
    bool Move(const std::wstring& title, int step);
    // Delete: deletes viewer `title` (its key with everything below it) and its place in
    // `Order`, leaving the other titles there as they are.
    bool Delete(const std::wstring& title);

    // The title of the viewer chosen last, as it was stored; "" when none is.
    std::wstring LastChoice();
    // Stores `title` as the viewer chosen last. True when it was written.
    bool RememberChoice(const std::wstring& title);

    // Whether any viewer is configured, counted as the start-hidden decision always has: the
    // first sub-key of `Menus` counts when its title takes fewer than 64 bytes in the ANSI
    // code page (the name buffer of that decision), so a first title of 64 bytes or more
    // counts none.
    bool HasViewers();

  private:
    SettingsKey settings;
};
