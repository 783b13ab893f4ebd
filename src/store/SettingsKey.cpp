#include "store/SettingsKey.h"

#include <algorithm>
#include <cstring>

namespace {

// A registry key name is at most 255 UTF-16 units, so at most 510 bytes in a double-byte
// ANSI code page.
constexpr DWORD maxKeyNameBytes = 512;

// Copies `text` into `buffer` of `capacity` (> 0) bytes, cut to fit, always terminated.
void CopyCut(char* buffer, size_t capacity, const char* text) {
    const size_t length = std::min(std::strlen(text), capacity - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

} // namespace

UniqueKey SettingsKey::CreateSubKey(const char* name, HKEY parent) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(Resolve(parent), name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        &key, &disposition) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

UniqueKey SettingsKey::OpenSubKey(const char* name, HKEY parent) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(Resolve(parent), name, 0, access, &key) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

namespace {

// SettingsKey::QueryValue through `query` (RegQueryValueExA or RegQueryValueExW).
template <class Char, class Query>
BOOL QueryThrough(Query query, HKEY key, const Char* name, DWORD* type, BYTE* data, DWORD* size) {
    const DWORD capacity = *size;
    DWORD needed = 0;
    *size = 0;
    if (query(key, name, nullptr, type, nullptr, &needed) != ERROR_SUCCESS)
        return FALSE;
    *size = needed;
    if (needed > capacity)
        return FALSE;
    // The second call is told the size just learnt, not the capacity, so that the registry
    // writes nothing (not even a terminator of its own) past the value's bytes.
    DWORD read = needed;
    LONG result = query(key, name, nullptr, type, data, &read);
    *size = read;
    return result == ERROR_SUCCESS;
}

} // namespace

UniqueKey SettingsKey::OpenSubKey(const wchar_t* name, HKEY parent) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(Resolve(parent), name, 0, access, &key) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

BOOL SettingsKey::QueryValue(const char* name, DWORD* type, BYTE* data, DWORD* size, HKEY parent) {
    return QueryThrough(RegQueryValueExA, Resolve(parent), name, type, data, size);
}

BOOL SettingsKey::QueryValue(const wchar_t* name, DWORD* type, BYTE* data, DWORD* size,
                             HKEY parent) {
    return QueryThrough(RegQueryValueExW, Resolve(parent), name, type, data, size);
}

BOOL SettingsKey::GetString(const char* name, char* buffer, size_t capacity,
                            const char* defaultText, HKEY parent) {
    if (capacity == 0)
        return FALSE;
    CopyCut(buffer, capacity, defaultText);
    DWORD type = REG_SZ;
    DWORD size = static_cast<DWORD>(std::min<size_t>(capacity, MAXDWORD));
    if (QueryValue(name, &type, reinterpret_cast<BYTE*>(buffer), &size, parent)) {
        if (size < capacity) {
            buffer[size] = '\0';
            return TRUE;
        }
        if (buffer[size - 1] == '\0')
            return TRUE;
    }
    // Either the value fills the buffer without a terminator, or a value that grew between
    // the two reads left the buffer undefined: the default text stands.
    CopyCut(buffer, capacity, defaultText);
    return FALSE;
}

BOOL SettingsKey::GetString(const char* name, std::string& value, const char* defaultText,
                            HKEY parent) {
    char buffer[1024];
    BOOL found = GetString(name, buffer, sizeof buffer, defaultText, parent);
    value = buffer;
    return found;
}

BOOL SettingsKey::SetValue(const char* name, DWORD type, const BYTE* data, DWORD count,
                           HKEY parent) {
    return RegSetValueExA(Resolve(parent), name, 0, type, data, count) == ERROR_SUCCESS;
}

BOOL SettingsKey::SetString(const char* name, const char* text, HKEY parent) {
    // With its terminator: the registry stores none for an empty text otherwise, and readers
    // that expect one (Wine's own `reg query`) then misread the value.
    return SetValue(name, REG_SZ, reinterpret_cast<const BYTE*>(text),
                    static_cast<DWORD>(std::strlen(text) + 1), parent);
}

BOOL SettingsKey::SetString(const wchar_t* name, const std::wstring& text, HKEY parent) {
    return RegSetValueExW(Resolve(parent), name, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

BOOL SettingsKey::EnumSubKey(DWORD index, wchar_t* buffer, DWORD size, HKEY parent,
                             FILETIME* written) {
    FILETIME lastWriteTime;
    return RegEnumKeyExW(Resolve(parent), index, buffer, &size, nullptr, nullptr, nullptr,
                         written ? written : &lastWriteTime) == ERROR_SUCCESS;
}

BOOL SettingsKey::EnumSubKey(DWORD index, char* buffer, DWORD size, HKEY parent,
                             FILETIME* written) {
    FILETIME lastWriteTime;
    return RegEnumKeyExA(Resolve(parent), index, buffer, &size, nullptr, nullptr, nullptr,
                         written ? written : &lastWriteTime) == ERROR_SUCCESS;
}

int SettingsKey::CountSubKeys(const char* name, HKEY parent) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(Resolve(parent), name, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return 0;
    const UniqueKey key(opened);
    char buffer[64];
    int count = 0;
    while (EnumSubKey(count, buffer, sizeof buffer, key.Get()))
        ++count;
    return count;
}

DWORD SettingsKey::SubKeyCount(HKEY parent) {
    DWORD count = 0;
    if (RegQueryInfoKeyA(Resolve(parent), nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

BOOL SettingsKey::DeleteSubKey(const char* name, HKEY parent) {
    // An empty or missing name would open the parent itself and empty it.
    if (!name || !*name)
        return FALSE;
    HKEY base = Resolve(parent);
    HKEY opened = nullptr;
    // RegDeleteKeyA refuses a key that has sub-keys, so the children go first, deepest first;
    // index 0 each time, as every deletion moves the rest down.
    if (RegOpenKeyExA(base, name, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
        const UniqueKey key(opened);
        char child[maxKeyNameBytes];
        while (EnumSubKey(0, child, sizeof child, key.Get()) && DeleteSubKey(child, key.Get())) {
        }
    }
    return RegDeleteKeyA(base, name) == ERROR_SUCCESS;
}

SettingsKey::SettingsKey(const char* makerName, const char* productName)
    : makerName(makerName), productName(productName) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, access, &opened) != ERROR_SUCCESS)
        return;
    const UniqueKey software(opened);
    const UniqueKey maker = CreateSubKey(this->makerName.c_str(), software.Get());
    if (maker)
        rootKey = CreateSubKey(this->productName.c_str(), maker.Get());
}
