#pragma once
// The registry key wrapper through which the store reaches its settings under
// HKEY_CURRENT_USER\Software\<maker>\<product>. Registry failures never reach the user: they
// become an empty key, a 0 result or a default text. In every operation that takes a parent
// key, a null parent stands for the root key.

#include <windows.h>
#include <string>

#include "platform/Handles.h"

class SettingsKey {
  public:
    // Opens HKCU\Software and creates or opens `maker` and `maker\product` below it.
    explicit SettingsKey(const char* makerName = "Copperfinch",
                         const char* productName = "Brindle");
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    // The root key, or null when it could not be opened or created.
    HKEY RootKey() const { return rootKey.Get(); }

    // Access used for every key opened or created for writing.
    static constexpr REGSAM access = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

    // Creates or opens `parent\name`; empty on failure.
    UniqueKey CreateSubKey(const char* name, HKEY parent = nullptr);
    // Opens an existing `parent\name`; empty when it is missing or cannot be opened.
    UniqueKey OpenSubKey(const char* name, HKEY parent = nullptr);
    UniqueKey OpenSubKey(const wchar_t* name, HKEY parent = nullptr);

    // Reads value `name` (null: the default value) into `data`, whose capacity is `*size`
    // bytes; on return `*size` is the number of bytes read and `*type` the stored type. 1 when
    // the value exists and fits; else 0 with the buffer unchanged (nothing is ever read past
    // it) and `*size` the value's size when it exists but does not fit, 0 when it is missing.
    // A value that grows between the size probe and the read fails the same way, but may
    // leave the buffer changed.
    BOOL QueryValue(const char* name, DWORD* type, BYTE* data, DWORD* size, HKEY parent = nullptr);
    // The same in UTF-16: a string value's bytes are UTF-16 units.
    BOOL QueryValue(const wchar_t* name, DWORD* type, BYTE* data, DWORD* size,
                    HKEY parent = nullptr);

    // Reads a string value into `buffer` of `capacity` bytes, always zero-terminated (a stored
    // terminator is not relied on). The buffer holds `defaultText` (cut to fit) when the value
    // is missing or does not fit with its terminator. 1 when the value was read. The stored
    // type is not checked.
    BOOL GetString(const char* name, char* buffer, size_t capacity, const char* defaultText,
                   HKEY parent = nullptr);
    // The same through a 1,024-byte buffer: at most 1,023 characters.
    BOOL GetString(const char* name, std::string& value, const char* defaultText,
                   HKEY parent = nullptr);

    BOOL SetValue(const char* name, DWORD type, const BYTE* data, DWORD count,
                  HKEY parent = nullptr);
    // Writes `text` as REG_SZ with its terminator. (Earlier versions stored strings without
    // one, and an empty one as zero bytes; every reader here takes both forms.)
    BOOL SetString(const char* name, const char* text, HKEY parent = nullptr);
    BOOL SetString(const wchar_t* name, const std::wstring& text, HKEY parent = nullptr);

    // The name of sub-key `index` of `parent` into `buffer` of `size` bytes, and the time the
    // sub-key was last written into `written` unless that is null. 1 when a sub-key exists at
    // that index and its name fits, else 0.
    BOOL EnumSubKey(DWORD index, char* buffer, DWORD size, HKEY parent = nullptr,
                    FILETIME* written = nullptr);
    // The same in UTF-16, `size` counted in UTF-16 units.
    BOOL EnumSubKey(DWORD index, wchar_t* buffer, DWORD size, HKEY parent = nullptr,
                    FILETIME* written = nullptr);
    // The number of sub-keys of `parent\name`, enumerated through a 64-byte name buffer (so it
    // stops at the first longer name); 0 when the key cannot be opened.
    int CountSubKeys(const char* name, HKEY parent = nullptr);
    // The number of sub-keys of `parent` as the registry counts them, in one call; 0 when it
    // cannot say.
    DWORD SubKeyCount(HKEY parent = nullptr);
    // Deletes `parent\name` with everything below it. 1 on success.
    BOOL DeleteSubKey(const char* name, HKEY parent = nullptr);

  private:
    HKEY Resolve(HKEY parent) const { return parent ? parent : rootKey.Get(); }

    std::string makerName;
    std::string productName;
    UniqueKey rootKey;
};
