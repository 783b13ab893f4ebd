#pragma once
// How the viewers lie in the registry, and the reads and writes of one viewer. Every viewer is
// a sub-key of `Menus` named by its title, with the command as its default value and the
// parameters as value `Param` (both REG_SZ). The registry enumerates sub-keys sorted without
// regard to case, so the menu order is kept separately: value `Order` of `Menus`
// (REG_MULTI_SZ) lists the titles in order (store/ViewerOrder.h). The title of the viewer chosen
// last from a menu is value `LastChoice` of the settings key (REG_SZ), beside `Menus`, so that
// the viewers' layout does not change.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ViewerEntry.h"
#include "store/SettingsKey.h"
#include "store/ViewerTitles.h"

constexpr const wchar_t* settingsMaker = L"Copperfinch";
constexpr const wchar_t* settingsProduct = L"Brindle";
constexpr const wchar_t* menusKeyName = L"Menus";
constexpr const wchar_t* paramValueName = L"Param";
constexpr const wchar_t* orderValueName = L"Order";
constexpr const wchar_t* lastChoiceValueName = L"LastChoice";

// A viewer as stored, with the time its key was last written: a later read that finds the same
// time may keep the values read before.
struct StoredViewer {
    ViewerEntry entry;
    FILETIME written{};
};

// A viewer's two values whole, as stored: each with the terminator it was stored with, if any,
// and whatever follows a zero in it.
struct StoredValues {
    std::wstring command;
    std::wstring parameters;
};

// A sub-key of `Menus`: its name and the time it was last written.
struct StoredKey {
    std::wstring title;
    FILETIME written{};
};

// Value `name` of `parent` as stored, however long (the list is the in-memory copy that an
// edit writes back, so a value cut to a reader's buffer would be lost), and its type; "" when
// it is missing. A value of another type than text is taken as text of the ANSI code page, its
// bytes as they are.
std::wstring ReadStoredText(SettingsKey& settings, const wchar_t* name, HKEY parent, DWORD& type);

// `text` up to its first zero.
std::wstring UpToZero(const std::wstring& text);

// The sub-keys of `parent` (not null) in enumeration order, each with the time it was last
// written. `stop`, unless empty, is asked every few keys; none when it said to stop.
std::optional<std::vector<StoredKey>> SubKeys(SettingsKey& settings, HKEY parent,
                                              const std::function<bool()>& stop = nullptr);

// The values of viewer `title` of `menus` whole; none when its key cannot be opened (or
// `menus` is null, or the title could name no key).
std::optional<StoredValues> ReadValues(SettingsKey& settings, HKEY menus,
                                       const std::wstring& title);

// Viewer `title` of `menus` with its values, each up to its first zero; none as ReadValues.
std::optional<ViewerEntry> ReadViewer(SettingsKey& settings, HKEY menus, const std::wstring& title);

// Writes `entry` below `menus` (not null): creates its key, or opens the key of the same
// title, then writes both values. True when every step succeeded.
bool WriteViewer(SettingsKey& settings, HKEY menus, const ViewerEntry& entry);
