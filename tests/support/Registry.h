#pragma once
// The settings in HKEY_CURRENT_USER as stored: keys and values read and written directly, past
// the code under test, the viewer list seeded that way too, and loaded through the store. Paths
// are relative to HKEY_CURRENT_USER; `product` names a settings key of Brindle's layout
// (Software\<maker>\<product>), Brindle's own unless given.

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "store/ViewerStore.h"
#include "support/TestText.h"

namespace testsupport {

// Brindle's own product key, spelt as the tests spell names.
inline const std::string ownProduct = Cp932Of(settingsProduct);

// The settings key of `product` (Software\<settingsMaker>\<product>), and its Menus key.
std::string SettingsPath(const char* product = ownProduct.c_str());
std::string MenusPath(const char* product = ownProduct.c_str());

// A value as stored: its type and bytes, whatever their length.
struct RegistryValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::string bytes;
    bool operator==(const RegistryValue&) const = default;
};

// Value `name` (null: the default value) of key `path`; exists false when either is missing.
RegistryValue ReadValue(const std::string& path, const wchar_t* name);
// Writes `bytes` as value `name` of type `type`, creating the key; true when it succeeded.
bool WriteValue(const std::string& path, const wchar_t* name, DWORD type, const std::string& bytes);
// Creates key `path` with the keys above it; true when it exists then.
bool MakeKey(const std::string& path);
bool KeyExists(const std::string& path);
// Deletes key `path` with everything below it.
void DeleteKey(const std::string& path);
// The names of the sub-keys of `path` in the registry's enumeration order.
std::vector<std::string> SubKeyNames(const std::string& path);
// Removes the settings key of `product` with everything below it.
void DeleteSettings(const char* product = ownProduct.c_str());

// Writes `rows`, as another program stores them (`reg import` of a UTF-16 file), below the Menus
// key of `product` in the store's layout, in UTF-16: command and `Param` as REG_SZ with
// terminators, then `Order` listing the titles in that order. True when every write succeeded.
bool WriteWideViewers(const std::vector<ViewerEntry>& rows,
                      const char* product = ownProduct.c_str());

// Makes the stored viewers `rows`, in that order, as the tests seed them: WriteWideViewers, then
// only once every row is written the keys that no row names deleted (a key whose name differs
// from a row's title in case only is that row's, and stays), so that a program that follows
// the store never sees a viewer missing that both lists hold. True when every step succeeded;
// false at once for a title that cannot name a key (IsStorableTitle).
bool ReplaceViewers(const std::vector<ViewerEntry>& rows, const char* product = ownProduct.c_str());

// A viewer as the tests write it: its texts in code page 932.
struct Viewer {
    std::string title;
    std::string command;
    std::string parameters;
    bool operator==(const Viewer&) const = default;
};
ViewerEntry EntryOf(const Viewer& viewer);
Viewer ViewerOf(const ViewerEntry& entry);

// The viewer list seeded as ReplaceViewers does, and loaded through the store, and its titles
// in menu order.
bool StoreViewers(const std::vector<Viewer>& rows, const char* product = ownProduct.c_str());
std::vector<Viewer> StoredViewers(const char* product = ownProduct.c_str());
std::vector<std::string> StoredTitles(const char* product = ownProduct.c_str());

} // namespace testsupport

// For comparisons and failure messages of GoogleTest (found by argument-dependent lookup).
bool operator==(const ViewerEntry& a, const ViewerEntry& b);
void PrintTo(const ViewerEntry& entry, std::ostream* out);
namespace testsupport {
void PrintTo(const Viewer& viewer, std::ostream* out);
} // namespace testsupport
