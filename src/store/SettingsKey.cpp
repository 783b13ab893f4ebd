#include "store/SettingsKey.h"

namespace {

// A registry key name is at most 255 UTF-16 units.
constexpr DWORD maxKeyNameUnits = 256;

} // namespace

SettingsKey::SettingsKey(const wchar_t* makerName, const wchar_t* productName) {
    // One call creates or opens the key with the keys above it.
    const std::wstring path = std::wstring(L"Software\\") + makerName + L'\\' + productName;
    rootKey = CreateSubKey(path.c_str(), HKEY_CURRENT_USER);
}

UniqueKey SettingsKey::CreateSubKey(const wchar_t* name, HKEY parent) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(Resolve(parent), name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        &key, &disposition) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

UniqueKey SettingsKey::OpenSubKey(const wchar_t* name, HKEY parent) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(Resolve(parent), name, 0, access, &key) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

BOOL SettingsKey::QueryValue(const wchar_t* name, DWORD* type, BYTE* data, DWORD* size,
                             HKEY parent) {
    const HKEY key = Resolve(parent);
    const DWORD capacity = *size;
    DWORD needed = 0;
    *size = 0;
    if (RegQueryValueExW(key, name, nullptr, type, nullptr, &needed) != ERROR_SUCCESS)
        return FALSE;
    *size = needed;
    if (needed > capacity)
        return FALSE;
    // The second call is told the size just learnt, not the capacity, so that the registry
    // writes nothing (not even a terminator of its own) past the value's bytes.
    DWORD read = needed;
    const LONG result = RegQueryValueExW(key, name, nullptr, type, data, &read);
    *size = read;
    return result == ERROR_SUCCESS;
}

BOOL SettingsKey::SetValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD count,
                           HKEY parent) {
    return RegSetValueExW(Resolve(parent), name, 0, type, data, count) == ERROR_SUCCESS;
}

BOOL SettingsKey::SetString(const wchar_t* name, const std::wstring& text, HKEY parent) {
    // With its terminator: the registry stores none for an empty text otherwise, and readers
    // that expect one (Wine's own `reg query`) then misread the value.
    return SetValue(name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), parent);
}

BOOL SettingsKey::EnumSubKey(DWORD index, wchar_t* buffer, DWORD size, HKEY parent,
                             FILETIME* written) {
    FILETIME lastWriteTime;
    return RegEnumKeyExW(Resolve(parent), index, buffer, &size, nullptr, nullptr, nullptr,
                         written ? written : &lastWriteTime) == ERROR_SUCCESS;
}

DWORD SettingsKey::SubKeyCount(HKEY parent) {
    DWORD count = 0;
    if (RegQueryInfoKeyW(Resolve(parent), nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

BOOL SettingsKey::DeleteSubKey(const wchar_t* name, HKEY parent) {
    // An empty or missing name would open the parent itself and empty it.
    if (!name || !*name)
        return FALSE;
    const HKEY base = Resolve(parent);
    HKEY opened = nullptr;
    // RegDeleteKeyW refuses a key that has sub-keys, so the children go first, deepest first;
    // index 0 each time, as every deletion moves the rest down.
    if (RegOpenKeyExW(base, name, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
        const UniqueKey key(opened);
        wchar_t child[maxKeyNameUnits];
        while (EnumSubKey(0, child, maxKeyNameUnits, key.Get()) && DeleteSubKey(child, key.Get())) {
        }
    }
    return RegDeleteKeyW(base, name) == ERROR_SUCCESS;
}
