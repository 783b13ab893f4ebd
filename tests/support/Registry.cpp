#include "support/Registry.h"

#include <shlwapi.h>

#include <set>

#include "platform/Handles.h"
#include "store/SettingsKey.h"
#include "support/TestText.h"

namespace testsupport {

namespace {

UniqueKey OpenKey(const std::string& path, REGSAM access = KEY_READ) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, WideOf(path).c_str(), 0, access, &key) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

UniqueKey CreateKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, WideOf(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The names of the sub-keys of `path` in the registry's enumeration order, in UTF-16.
std::vector<std::wstring> WideSubKeyNames(const std::string& path) {
    std::vector<std::wstring> names;
    const UniqueKey key = OpenKey(path);
    wchar_t name[1024];
    for (DWORD i = 0; key; ++i) {
        DWORD size = 1024;
        if (RegEnumKeyExW(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

} // namespace

std::string SettingsPath(const char* product) {
    return "Software\\" + Cp932Of(settingsMaker) + '\\' + product;
}

std::string MenusPath(const char* product) {
    return SettingsPath(product) + '\\' + Cp932Of(menusKeyName);
}

// Texts are read and written in UTF-16 and given as code page 932, as the ANSI calls of a
// system of that code page give them.
RegistryValue ReadValue(const std::string& path, const wchar_t* name) {
    const UniqueKey key = OpenKey(path);
    DWORD size = 0;
    if (!key ||
        RegQueryValueExW(key.Get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    RegistryValue value{true, REG_NONE, std::string(size, '\0')};
    if (RegQueryValueExW(key.Get(), name, nullptr, &value.type,
                         reinterpret_cast<BYTE*>(value.bytes.data()), &size) != ERROR_SUCCESS)
        return {};
    value.bytes.resize(size);
    if (IsText(value.type))
        value.bytes = Cp932Of(std::wstring_view(
            reinterpret_cast<const wchar_t*>(value.bytes.data()), value.bytes.size() / 2));
    return value;
}

bool WriteValue(const std::string& path, const wchar_t* name, DWORD type,
                const std::string& bytes) {
    const UniqueKey key = CreateKey(path);
    std::string data = bytes;
    if (IsText(type)) {
        const std::wstring wide = WideOf(bytes);
        data.assign(reinterpret_cast<const char*>(wide.data()), 2 * wide.size());
    }
    return key &&
           RegSetValueExW(key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool WriteWideViewers(const std::vector<ViewerEntry>& rows, const char* product) {
    const std::wstring menus = WideOf(MenusPath(product));
    auto write = [](const std::wstring& path, const wchar_t* name, DWORD type,
                    const std::wstring& text) {
        HKEY opened = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &opened, nullptr) != ERROR_SUCCESS)
            return false;
        const UniqueKey key(opened);
        return RegSetValueExW(key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(2 * (text.size() + 1))) == ERROR_SUCCESS;
    };
    bool ok = true;
    std::wstring order;
    for (const ViewerEntry& row : rows) {
        ok = write(menus + L'\\' + row.title, nullptr, REG_SZ, row.command) &&
             write(menus + L'\\' + row.title, paramValueName, REG_SZ, row.parameters) && ok;
        order += row.title + L'\0';
    }
    return write(menus, orderValueName, REG_MULTI_SZ, order) && ok;
}

bool ReplaceViewers(const std::vector<ViewerEntry>& rows, const char* product) {
    for (const ViewerEntry& row : rows)
        if (!IsStorableTitle(row.title))
            return false;
    if (!WriteWideViewers(rows, product))
        return false;
    std::set<std::wstring> named;
    for (const ViewerEntry& row : rows)
        named.insert(FoldedTitle(row.title));
    const std::string menus = MenusPath(product);
    bool ok = true;
    for (const std::wstring& name : WideSubKeyNames(menus)) {
        if (!named.count(FoldedTitle(name)))
            ok = SHDeleteKeyW(HKEY_CURRENT_USER, (WideOf(menus) + L'\\' + name).c_str()) ==
                     ERROR_SUCCESS &&
                 ok;
    }
    return ok;
}

bool MakeKey(const std::string& path) {
    return static_cast<bool>(CreateKey(path));
}

bool KeyExists(const std::string& path) {
    return static_cast<bool>(OpenKey(path));
}

std::vector<std::string> SubKeyNames(const std::string& path) {
    std::vector<std::string> names;
    for (const std::wstring& name : WideSubKeyNames(path))
        names.push_back(Cp932Of(name));
    return names;
}

void DeleteKey(const std::string& path) {
    SHDeleteKeyW(HKEY_CURRENT_USER, WideOf(path).c_str());
}

void DeleteSettings(const char* product) {
    DeleteKey(SettingsPath(product));
}

ViewerEntry EntryOf(const Viewer& viewer) {
    return {WideOf(viewer.title), WideOf(viewer.command), WideOf(viewer.parameters)};
}

Viewer ViewerOf(const ViewerEntry& entry) {
    return {Cp932Of(entry.title), Cp932Of(entry.command), Cp932Of(entry.parameters)};
}

bool StoreViewers(const std::vector<Viewer>& rows, const char* product) {
    std::vector<ViewerEntry> entries;
    for (const Viewer& row : rows)
        entries.push_back(EntryOf(row));
    return ReplaceViewers(entries, product);
}

std::vector<Viewer> StoredViewers(const char* product) {
    std::vector<Viewer> viewers;
    for (const ViewerEntry& entry : ViewerStore(WideOf(product).c_str()).Load())
        viewers.push_back(ViewerOf(entry));
    return viewers;
}

std::vector<std::string> StoredTitles(const char* product) {
    std::vector<std::string> titles;
    for (const Viewer& viewer : StoredViewers(product))
        titles.push_back(viewer.title);
    return titles;
}

void PrintTo(const Viewer& viewer, std::ostream* out) {
    *out << "{\"" << viewer.title << "\", \"" << viewer.command << "\", \"" << viewer.parameters
         << "\"}";
}

} // namespace testsupport

bool operator==(const ViewerEntry& a, const ViewerEntry& b) {
    return a.title == b.title && a.command == b.command && a.parameters == b.parameters;
}

void PrintTo(const ViewerEntry& entry, std::ostream* out) {
    PrintTo(testsupport::ViewerOf(entry), out);
}
