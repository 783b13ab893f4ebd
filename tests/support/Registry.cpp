#include "support/Registry.h"

#include <shlwapi.h>

#include "framework/Handle.h"
#include "store/SettingsKey.h"

namespace testsupport {

namespace {

UniqueKey OpenKey(const std::string& path, REGSAM access = KEY_READ) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

UniqueKey CreateKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

} // namespace

std::string SettingsPath(const char* product) {
    return std::string("Software\\") + settingsMaker + '\\' + product;
}

std::string MenusPath(const char* product) {
    return SettingsPath(product) + '\\' + menusKeyName;
}

RegistryValue ReadValue(const std::string& path, const char* name) {
    const UniqueKey key = OpenKey(path);
    DWORD size = 0;
    if (!key ||
        RegQueryValueExA(key.Get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    RegistryValue value{true, REG_NONE, std::string(size, '\0')};
    if (RegQueryValueExA(key.Get(), name, nullptr, &value.type,
                         reinterpret_cast<BYTE*>(value.bytes.data()), &size) != ERROR_SUCCESS)
        return {};
    value.bytes.resize(size);
    return value;
}

bool WriteValue(const std::string& path, const char* name, DWORD type, const std::string& bytes) {
    const UniqueKey key = CreateKey(path);
    return key &&
           RegSetValueExA(key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool MakeKey(const std::string& path) {
    return static_cast<bool>(CreateKey(path));
}

bool KeyExists(const std::string& path) {
    return static_cast<bool>(OpenKey(path));
}

std::vector<std::string> SubKeyNames(const std::string& path) {
    std::vector<std::string> names;
    const UniqueKey key = OpenKey(path);
    char name[1024];
    for (DWORD i = 0; key; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

void DeleteKey(const std::string& path) {
    SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

void DeleteSettings(const char* product) {
    DeleteKey(SettingsPath(product));
}

bool StoreViewers(const std::vector<ViewerEntry>& rows, const char* product) {
    return ViewerStore(product).Save(rows);
}

std::vector<ViewerEntry> StoredViewers(const char* product) {
    return ViewerStore(product).Load();
}

std::vector<std::string> StoredTitles(const char* product) {
    std::vector<std::string> titles;
    for (const ViewerEntry& entry : StoredViewers(product))
        titles.push_back(entry.title);
    return titles;
}

} // namespace testsupport

bool operator==(const ViewerEntry& a, const ViewerEntry& b) {
    return a.title == b.title && a.command == b.command && a.parameters == b.parameters;
}

void PrintTo(const ViewerEntry& entry, std::ostream* out) {
    *out << "{\"" << entry.title << "\", \"" << entry.command << "\", \"" << entry.parameters
         << "\"}";
}
