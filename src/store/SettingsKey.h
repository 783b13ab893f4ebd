#pragma once
// The registry key wrapper through which the store reaches its settings under
// HKEY_CURRENT_USER\Software\<maker>\<product>. Names and texts are UTF-16, as the registry
// holds them. Registry failures never reach the user: they become an empty key, a 0 result or
// an empty text. In every operation that takes a parent key, a null parent stands for the root
// key. (The tests of failing edits link a build of SettingsKey.cpp whose creates, writes and
// deletes fail as a test names them: tests/support/RegistryFaults.h.)

#include <windows.h>
#include <string>

#include "platform/Handles.h"

class SettingsKey {
  public:
    // Creates or opens HKCU\Software\<maker>\<product>, with the keys above it.
    SettingsKey(const wchar_t* makerName, const wchar_t* productName);
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    // The root key, or null when it could not be opened or created.
    HKEY RootKey() const { return rootKey.Get(); }

    // Access used for every key opened or created for writing.
    static constexpr REGSAM access = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

    // Creates or opens `parent\name`; empty on failure.
    UniqueKey CreateSubKey(const wchar_t* name, HKEY parent = nullptr);
    // Opens an existing `parent\name`; empty when it is missing or cannot be opened.
    UniqueKey OpenSubKey(const wchar_t* name, HKEY parent = nullptr);

    // Reads value `name` (null: the default value) into `data`, whose capacity is `*size`
    // bytes; on return `*size` is the number of bytes read and `*type` the stored type. 1 when
    // the value exists and fits; else 0 with the buffer unchanged (nothing is ever read past
    // it) and `*size` the value's size when it exists but does not fit, 0 when it is missing.
    // A string value's bytes are UTF-16 units.
    BOOL QueryValue(const wchar_t* name, DWORD* type, BYTE* data, DWORD* size,
                    HKEY parent = nullptr);

    BOOL SetValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD count,
                  HKEY parent = nullptr);
    // Writes `text` as REG_SZ with its terminator. Every reader here also takes a value stored
    // without one, and an empty one of zero bytes.
    BOOL SetString(const wchar_t* name, const std::wstring& text, HKEY parent = nullptr);

    // The name of sub-key `index` of `parent` into `buffer` of `size` UTF-16 units, and the
    // time the sub-key was last written into `written` unless that is null. 1 when a sub-key
    // exists at that index and its name fits, else 0.
    BOOL EnumSubKey(DWORD index, wchar_t* buffer, DWORD size, HKEY parent = nullptr,
                    FILETIME* written = nullptr);
    // The number of sub-keys of `parent` as the registry counts them, in one call; 0 when it
    // cannot say.
    DWORD SubKeyCount(HKEY parent = nullptr);
    // Deletes `parent\name` with everything below it. 1 on success.
    BOOL DeleteSubKey(const wchar_t* name, HKEY parent = nullptr);

  private:
    HKEY Resolve(HKEY parent) const { return parent ? parent : rootKey.Get(); }

    UniqueKey rootKey;
};
