#pragma once
// The layout of the viewer list in the registry. Every viewer is a sub-key of `Menus` named
// by its title, with the command as its default value and the parameters as value `Param`
// (both REG_SZ). The registry enumerates sub-keys sorted without regard to case, so the menu
// order is kept separately: value `Order` of `Menus` (REG_MULTI_SZ) lists the titles in order.

#include "store/SettingsKey.h"

#include <string>
#include <vector>

constexpr const char* settingsMaker = "Copperfinch";
constexpr const char* settingsProduct = "Brindle";
constexpr const char* menusKeyName = "Menus";
constexpr const char* paramValueName = "Param";
constexpr const char* orderValueName = "Order";

// One configured viewer, texts in the ANSI code page.
struct ViewerEntry {
    std::string title;
    std::string command;
    std::string parameters;
};

// The registry's limit on a key name, in characters (UTF-16 units, not ANSI bytes).
constexpr int maxTitleChars = 255;

// `title` in UTF-16, as the registry sees a key name.
std::wstring KeyNameOf(const std::string& title);

// Whether the registry takes `a` and `b` for the same key name: equal letter by letter in
// Unicode without regard to case.
bool SameTitle(const std::string& a, const std::string& b);

// Whether `title` can name a key of its own below `Menus`: not empty, no backslash (which
// would nest keys) or zero byte, at most `maxTitleChars` characters.
bool IsStorableTitle(const std::string& title);

// The titles of the viewers below `menus` in menu order, each spelt as its key is: first
// those that `Order` lists (matched without regard to case; duplicates and names without a
// key are ignored), then the keys it does not list, in enumeration order. A null `menus` (a
// missing `Menus` key) has no viewers.
std::vector<std::string> ViewerTitles(RegistryKeyBase& key, HKEY menus);

// All viewers in menu order. Command and `Param` are read in full, however long (a save writes
// them back unchanged); a missing one reads as "". An entry whose key cannot be opened is left
// out.
std::vector<ViewerEntry> LoadViewers(RegistryKeyBase& key);

// Replaces the stored viewers by `rows`, in that order. Rows are written first, then
// `Order`, and only when all of that succeeded are the keys that no row names deleted, so a
// failure or an interrupted save never loses an entry (it may leave extra ones). A row whose
// title is not storable is skipped and counts as a failure. True when every step succeeded.
bool SaveViewers(RegistryKeyBase& key, const std::vector<ViewerEntry>& rows);

// Deletes the viewer `title` (its key with everything below it) and its place in `Order`.
// True when both succeeded.
bool DeleteViewer(RegistryKeyBase& key, const std::string& title);

// For tests only: fault injection into SaveViewers. Its registry creates, writes and deletes
// are numbered from 1 in `calls`; those numbered `failFrom` to `failTo` fail without reaching
// the registry. With `failFrom` 0 (the default) every call goes through.
struct StoreFaults {
    static inline int calls = 0;
    static inline int failFrom = 0;
    static inline int failTo = 0;
};
