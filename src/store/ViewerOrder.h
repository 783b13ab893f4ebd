#pragma once
// The menu order of the viewers: value `Order` of `Menus` (store/ViewerLayout.h) read, matched
// to the keys and written.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/ViewerLayout.h"

// The titles that `Order` of `menus` lists, as stored; none when it is missing or not a
// REG_MULTI_SZ.
std::vector<std::wstring> ReadOrder(SettingsKey& settings, HKEY menus);

// Writes `titles` as `Order` of `menus` in one call, so a reader sees the old or the new list.
bool WriteOrder(SettingsKey& settings, HKEY menus, const std::vector<std::wstring>& titles);

// The viewers below `menus` in menu order, titles (spelt as their keys are) and times: first
// those that `Order` lists (matched without regard to case; duplicates and names without a key
// are ignored), then the keys it does not list, in enumeration order. None below a null
// `menus`; none at all when `stop` said to stop (see SubKeys).
std::optional<std::vector<StoredKey>> KeysInMenuOrder(SettingsKey& settings, HKEY menus,
                                                      const std::function<bool()>& stop = nullptr);

// The titles of KeysInMenuOrder.
std::vector<std::wstring> TitlesInMenuOrder(SettingsKey& settings, HKEY menus);

// The order for an edit, before its change: `Order` of `menus` as stored when it lists as many
// distinct titles as there are keys (a check of a few calls, whatever the number of viewers),
// else (or when `fromKeys`) the titles in menu order, so that an order written from it leaves
// out no viewer that the store holds.
std::vector<std::wstring> OrderForEdit(SettingsKey& settings, HKEY menus, bool fromKeys = false);
