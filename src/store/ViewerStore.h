#pragma once
// The list of viewers in the registry, spoken of in viewers, not keys. Every viewer is a
// sub-key of `Menus` named by its title, with the command as its default value and the
// parameters as value `Param` (both REG_SZ). The registry enumerates sub-keys sorted without
// regard to case, so the menu order is kept separately: value `Order` of `Menus`
// (REG_MULTI_SZ) lists the titles in order. The title of the viewer chosen last from a menu is
// value `LastChoice` of the settings key (REG_SZ), beside `Menus`, so that the viewers' layout
// does not change.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/SettingsKey.h"
#include "store/ViewerTitles.h"

constexpr const wchar_t* settingsMaker = L"Copperfinch";
constexpr const wchar_t* settingsProduct = L"Brindle";
constexpr const wchar_t* menusKeyName = L"Menus";
constexpr const wchar_t* paramValueName = L"Param";
constexpr const wchar_t* orderValueName = L"Order";
constexpr const wchar_t* lastChoiceValueName = L"LastChoice";

// One configured viewer, its texts as the registry holds them, each up to its first zero.
struct ViewerEntry {
    std::wstring title;
    std::wstring command;
    std::wstring parameters;
};

// A viewer's two values whole, as stored: each with the terminator it was stored with, if any,
// and whatever follows a zero in it.
struct StoredValues {
    std::wstring command;
    std::wstring parameters;
};

// A viewer as stored, with the time its key was last written: a later read that finds the same
// time may keep the values read before.
struct StoredViewer {
    ViewerEntry entry;
    FILETIME written{};
};

// A sub-key of `Menus`: its name and the time it was last written.
struct StoredKey {
    std::wstring title;
    FILETIME written{};
};

// The values read before of viewer `title` whose key was then last written at `written`; null
// when there are none (the viewer is then read).
using KnownValues =
    std::function<const ViewerEntry*(const std::wstring& title, const FILETIME& written)>;

// The viewers of one product key. Made on the stack for each use: it holds the root key open
// while it lives, and no key beyond that.
class ViewerStore {
  public:
    explicit ViewerStore(const wchar_t* product = settingsProduct);

    // Whether any viewer is configured, counted as the start-hidden decision always has: the
    // first sub-key of `Menus` counts when its title takes fewer than 64 bytes in the ANSI
    // code page (the name buffer of that decision), so a first title of 64 bytes or more
    // counts none.
    bool HasViewers();

    // The titles in menu order, each spelt as its key is, in UTF-16: first those that `Order`
    // lists (matched without regard to case; duplicates and names without a key are ignored),
    // then the keys it does not list, in enumeration order. None without a `Menus` key.
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
    // change applied, so no title that the store holds ever leaves it: the stored `Order` when
    // it lists every viewer once (a check of a few calls, whatever the number of viewers),
    // else the titles read from the keys. A failure or an interruption at any step loses no
    // entry (a rename may leave both names). True when every step succeeded.
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

  private:
    // `Menus` for an edit, created when `create`; empty when that fails (a null
    // parent would stand for the root key, so nothing may be written then).
    UniqueKey MenusForEdit(bool create);
    bool WriteEntry(HKEY menus, const ViewerEntry& row);
    // The values of viewer `title` of `menus` whole; none when its key cannot be opened.
    std::optional<StoredValues> ReadValues(HKEY menus, const std::wstring& title);
    // Viewer `title` of `menus` with its values, each up to its first zero; none as ReadValues.
    std::optional<ViewerEntry> ReadEntry(HKEY menus, const std::wstring& title);
    // The viewers below `menus` in menu order, titles and times only; none when `stop` said
    // to stop (see LoadChanged).
    std::optional<std::vector<StoredKey>> Listed(HKEY menus,
                                                 const std::function<bool()>& stop = nullptr);
    std::vector<std::wstring> TitlesBelow(HKEY menus);
    // The order for an edit, before its change: `Order` of `menus` when it lists as many
    // distinct titles as there are keys, else (or when `fromKeys`) the titles in menu order.
    std::vector<std::wstring> OrderForEdit(HKEY menus, bool fromKeys = false);

    SettingsKey settings;
};
