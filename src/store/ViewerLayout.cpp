#include "store/ViewerLayout.h"

#include <cstring>

#include "platform/AnsiText.h"

namespace {

// Enough for any key name and its terminator.
constexpr DWORD nameBufferUnits = maxTitleChars + 1;

// Room for a value that any launch takes (a launch line is at most 259 UTF-16 units), with
// its terminator.
constexpr DWORD valueBufferBytes = 520;

// How many sub-keys are enumerated between two questions whether to stop.
constexpr DWORD keysBetweenStops = 32;

// Whether a value of `type` holds text.
bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

} // namespace

std::wstring ReadStoredText(SettingsKey& settings, const wchar_t* name, HKEY parent, DWORD& type) {
    // The list reads two values of every viewer, and every registry call is a round trip: a
    // read into room for any value that a launch takes gets the usual value at once; a longer
    // one is read again at the size that read gave.
    std::vector<char> data(valueBufferBytes);
    DWORD size = valueBufferBytes;
    bool read =
        settings.QueryValue(name, &type, reinterpret_cast<BYTE*>(data.data()), &size, parent);
    if (!read && size > valueBufferBytes) {
        data.resize(size);
        read =
            settings.QueryValue(name, &type, reinterpret_cast<BYTE*>(data.data()), &size, parent);
    }
    if (!read)
        return {};
    data.resize(size);
    if (!IsText(type))
        return platform::WideFromAnsi(std::string_view(data.data(), data.size()));
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    return text;
}

std::wstring UpToZero(const std::wstring& text) {
    return text.substr(0, text.find(L'\0'));
}

std::optional<std::vector<StoredKey>> SubKeys(SettingsKey& settings, HKEY parent,
                                              const std::function<bool()>& stop) {
    std::vector<StoredKey> keys;
    wchar_t name[nameBufferUnits];
    FILETIME written{};
    for (DWORD i = 0; settings.EnumSubKey(i, name, nameBufferUnits, parent, &written); ++i) {
        if (stop && i % keysBetweenStops == keysBetweenStops - 1 && stop())
            return std::nullopt;
        keys.push_back({name, written});
    }
    return keys;
}

std::optional<StoredValues> ReadValues(SettingsKey& settings, HKEY menus,
                                       const std::wstring& title) {
    const UniqueKey key =
        menus && IsStorableTitle(title) ? settings.OpenSubKey(title.c_str(), menus) : UniqueKey();
    if (!key)
        return std::nullopt;
    DWORD type = 0;
    StoredValues values;
    values.command = ReadStoredText(settings, nullptr, key.Get(), type);
    values.parameters = ReadStoredText(settings, paramValueName, key.Get(), type);
    return values;
}

std::optional<ViewerEntry> ReadViewer(SettingsKey& settings, HKEY menus,
                                      const std::wstring& title) {
    const std::optional<StoredValues> values = ReadValues(settings, menus, title);
    if (!values)
        return std::nullopt;
    return ViewerEntry{title, UpToZero(values->command), UpToZero(values->parameters)};
}

bool WriteViewer(SettingsKey& settings, HKEY menus, const ViewerEntry& entry) {
    const UniqueKey key = settings.CreateSubKey(entry.title.c_str(), menus);
    if (!key) // a null parent below would mean the root key
        return false;
    const bool commandWritten = settings.SetString(nullptr, entry.command, key.Get());
    return settings.SetString(paramValueName, entry.parameters, key.Get()) && commandWritten;
}
