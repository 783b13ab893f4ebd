#include "store/ViewerStore.h"

#include <algorithm>
#include <cstring>

#include "core/LaunchLine.h"
#include "platform/AnsiText.h"

namespace {

// Enough for any key name: 255 characters of at most two bytes each.
constexpr DWORD nameBufferBytes = 1024;

// How many sub-keys are enumerated between two questions whether to stop.
constexpr DWORD keysBetweenStops = 32;

// The sub-keys of `parent` (not null) in enumeration order, each with the time it was last
// written; none when `stop` (unless empty) said so before the last one.
template <class Char>
std::optional<std::vector<StoredKey<Char>>> SubKeys(SettingsKey& key, HKEY parent,
                                                    const std::function<bool()>& stop = nullptr) {
    std::vector<StoredKey<Char>> keys;
    Char name[nameBufferBytes];
    FILETIME written{};
    for (DWORD i = 0; key.EnumSubKey(i, name, nameBufferBytes, parent, &written); ++i) {
        if (stop && i % keysBetweenStops == keysBetweenStops - 1 && stop())
            return std::nullopt;
        keys.push_back({name, written});
    }
    return keys;
}

const std::string& Itself(const std::string& title) {
    return title;
}

// Whether `written` lies less than two seconds before `now` (or after it).
bool Recent(const FILETIME& written, const FILETIME& now) {
    constexpr ULONGLONG twoSeconds = 2 * 10000000ULL; // in 100-ns units
    const ULONGLONG then = (ULONGLONG{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    const ULONGLONG at = (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return then + twoSeconds > at;
}

// The whole of value `name` of `parent`, however long, and its type; empty when it is missing.
template <class Char>
std::vector<char> ReadValue(SettingsKey& key, const Char* name, HKEY parent, DWORD& type) {
    DWORD size = 0;
    key.QueryValue(name, &type, nullptr, &size, parent); // learns the size
    std::vector<char> data(size);
    if (!key.QueryValue(name, &type, reinterpret_cast<BYTE*>(data.data()), &size, parent))
        return {};
    data.resize(size);
    return data;
}

// A viewer's text value in full (the list is the in-memory copy that a save writes back, so a
// value cut to a reader's buffer would be lost); "" when it is missing. The stored type is
// not checked; the text ends at the first zero byte.
std::string ReadText(SettingsKey& key, const char* name, HKEY entry) {
    DWORD type = 0;
    std::vector<char> data = ReadValue(key, name, entry, type);
    return std::string(data.begin(), std::find(data.begin(), data.end(), '\0'));
}

// Whether a value of `type` holds text, which the ANSI calls convert.
bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Value `name` of `parent` in UTF-16 as stored, however long; "" when it is missing. A value
// of another type than text is taken as ANSI text, as the ANSI calls give it.
std::wstring ReadWide(SettingsKey& key, const wchar_t* name, HKEY parent, DWORD& type) {
    const std::vector<char> data = ReadValue(key, name, parent, type);
    if (!IsText(type))
        return platform::WideFromAnsi(std::string_view(data.data(), data.size()));
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    return text;
}

// `text` up to its first zero.
std::wstring UpToZero(const std::wstring& text) {
    return text.substr(0, text.find(L'\0'));
}

// The titles that `Order` of `menus` lists, as stored; none when it is missing or not a
// REG_MULTI_SZ.
template <class Char> std::vector<std::basic_string<Char>> ReadOrder(SettingsKey& key, HKEY menus) {
    DWORD type = 0;
    std::basic_string<Char> data;
    if constexpr (sizeof(Char) == 1) {
        const std::vector<char> bytes = ReadValue(key, orderValueName, menus, type);
        data.assign(bytes.begin(), bytes.end());
    } else {
        data = ReadWide(key, L"Order", menus, type);
    }
    if (type != REG_MULTI_SZ)
        return {};
    std::vector<std::basic_string<Char>> titles;
    const auto end = data.end();
    for (auto start = data.begin(); start < end;) {
        const auto stop = std::find(start, end, Char(0));
        if (stop != start)
            titles.emplace_back(start, stop);
        start = stop == end ? end : stop + 1;
    }
    return titles;
}

// Writes `titles` as `Order` of `menus` in one call, so a reader sees the old or the new list.
bool WriteOrder(SettingsKey& key, HKEY menus, const std::vector<std::string>& titles) {
    std::string data;
    for (const std::string& title : titles) {
        data += title;
        data += '\0';
    }
    data += '\0';
    return key.SetValue(orderValueName, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size()), menus);
}

} // namespace

std::wstring KeyNameOf(const std::string& title) {
    const int length = static_cast<int>(title.size());
    std::wstring wide(title.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, title.data(), length, wide.data(), length));
    return wide;
}

std::wstring FoldedTitle(const std::string& title) {
    // Letter by letter in Unicode, so that a double-byte character whose second byte looks
    // like an ASCII letter is not folded.
    return FoldedTitle(KeyNameOf(title));
}

std::wstring FoldedTitle(const std::wstring& wide) {
    std::wstring upper(wide.size(), L'\0');
    const int length = static_cast<int>(wide.size());
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), length, upper.data(), length);
    return upper;
}

bool SameTitle(const std::string& a, const std::string& b) {
    return FoldedTitle(a) == FoldedTitle(b);
}

bool SameTitle(const std::wstring& a, const std::wstring& b) {
    return FoldedTitle(a) == FoldedTitle(b);
}

bool IsStorableTitle(const std::string& title) {
    if (title.empty() || title.size() > 2 * maxTitleChars)
        return false;
    // Looked for in UTF-16: the second byte of a double-byte character (that of "ソ" or "表")
    // may be 0x5C without being a backslash.
    return IsStorableTitle(KeyNameOf(title));
}

bool IsStorableTitle(const std::wstring& wide) {
    return !wide.empty() && wide.size() <= maxTitleChars &&
           wide.find_first_of(std::wstring(L"\\\0", 2)) == std::wstring::npos;
}

ViewerStore::ViewerStore(const char* product, StoreFaults* faults)
    : settings(settingsMaker, product), faults(faults) {}

bool ViewerStore::NextCallGoesThrough() {
    if (!faults)
        return true;
    const int call = ++faults->calls;
    return faults->failFrom == 0 || call < faults->failFrom || call > faults->failTo;
}

bool ViewerStore::HasViewers() {
    return settings.CountSubKeys(menusKeyName) != 0;
}

std::vector<std::wstring> ViewerStore::Titles() {
    const UniqueKey menus = settings.OpenSubKey(menusKeyName);
    std::vector<std::wstring> titles;
    std::optional<std::vector<StoredKey<wchar_t>>> listed = Listed<wchar_t>(menus.Get());
    for (StoredKey<wchar_t>& key : *listed)
        titles.push_back(std::move(key.title));
    return titles;
}

template <class Char>
std::optional<std::vector<StoredKey<Char>>> ViewerStore::Listed(HKEY menus,
                                                                const std::function<bool()>& stop) {
    if (!menus) // a null parent below would mean the root key
        return std::vector<StoredKey<Char>>();
    std::optional<std::vector<StoredKey<Char>>> found = SubKeys<Char>(settings, menus, stop);
    if (!found)
        return std::nullopt;
    std::vector<StoredKey<Char>>& keys = *found;
    // Each name is folded once and looked up by binary search: lists of a thousand viewers
    // stay quick to match.
    std::vector<std::pair<std::wstring, size_t>> unlisted;
    for (size_t i = 0; i < keys.size(); ++i)
        unlisted.emplace_back(FoldedTitle(keys[i].title), i);
    std::sort(unlisted.begin(), unlisted.end());
    std::vector<bool> taken(keys.size(), false);
    std::vector<StoredKey<Char>> listed;
    for (const std::basic_string<Char>& title : ReadOrder<Char>(settings, menus)) {
        const std::pair<std::wstring, size_t> wanted{FoldedTitle(title), 0};
        const auto found = std::lower_bound(unlisted.begin(), unlisted.end(), wanted);
        if (found != unlisted.end() && found->first == wanted.first && !taken[found->second]) {
            taken[found->second] = true;
            listed.push_back(std::move(keys[found->second]));
        }
    }
    for (size_t i = 0; i < keys.size(); ++i)
        if (!taken[i])
            listed.push_back(std::move(keys[i]));
    return listed;
}

std::vector<std::string> ViewerStore::TitlesBelow(HKEY menus) {
    std::vector<std::string> titles;
    std::optional<std::vector<StoredKey<char>>> listed = Listed<char>(menus);
    for (StoredKey<char>& key : *listed)
        titles.push_back(std::move(key.title));
    return titles;
}

std::vector<ViewerEntry> ViewerStore::Load() {
    std::vector<ViewerEntry> rows;
    std::optional<std::vector<StoredViewer>> viewers = LoadChanged(nullptr);
    for (StoredViewer& viewer : *viewers)
        rows.push_back(std::move(viewer.entry));
    return rows;
}

std::optional<std::vector<StoredViewer>>
ViewerStore::LoadChanged(const KnownValues& known, const std::function<bool()>& stop) {
    std::vector<StoredViewer> viewers;
    const UniqueKey menus = settings.OpenSubKey(menusKeyName);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    std::optional<std::vector<StoredKey<char>>> listed = Listed<char>(menus.Get(), stop);
    if (!listed)
        return std::nullopt;
    for (StoredKey<char>& key : *listed) {
        StoredViewer viewer{{std::move(key.title), {}, {}}, key.written};
        ViewerEntry& entry = viewer.entry;
        const ViewerEntry* before =
            known && !Recent(viewer.written, now) ? known(entry.title, viewer.written) : nullptr;
        if (before) {
            entry.command = before->command;
            entry.parameters = before->parameters;
        } else {
            const UniqueKey key = settings.OpenSubKey(entry.title.c_str(), menus.Get());
            if (!key)
                continue;
            entry.command = ReadText(settings, nullptr, key.Get());
            entry.parameters = ReadText(settings, paramValueName, key.Get());
        }
        viewers.push_back(std::move(viewer));
    }
    return viewers;
}

std::optional<ViewerEntry> ViewerStore::Read(const std::string& title) {
    if (!IsStorableTitle(title))
        return std::nullopt;
    const UniqueKey menus = settings.OpenSubKey(menusKeyName);
    const UniqueKey key = menus ? settings.OpenSubKey(title.c_str(), menus.Get()) : UniqueKey();
    if (!key)
        return std::nullopt;
    return ViewerEntry{title, ReadText(settings, nullptr, key.Get()),
                       ReadText(settings, paramValueName, key.Get())};
}

UniqueKey ViewerStore::MenusForEdit(bool create) {
    if (!NextCallGoesThrough())
        return {};
    return create ? settings.CreateSubKey(menusKeyName) : settings.OpenSubKey(menusKeyName);
}

bool ViewerStore::WriteEntry(HKEY menus, const ViewerEntry& row) {
    UniqueKey entry;
    if (NextCallGoesThrough())
        entry = settings.CreateSubKey(row.title.c_str(), menus);
    if (!entry) // a null parent below would mean the root key
        return false;
    bool ok =
        NextCallGoesThrough() && settings.SetString(nullptr, row.command.c_str(), entry.Get());
    ok = NextCallGoesThrough() &&
         settings.SetString(paramValueName, row.parameters.c_str(), entry.Get()) && ok;
    return ok;
}

bool ViewerStore::Save(const std::vector<ViewerEntry>& rows) {
    const UniqueKey menus = MenusForEdit(true);
    if (!menus) // a null parent below would mean the root key
        return false;
    bool ok = true;
    std::vector<std::string> titles;
    for (const ViewerEntry& row : rows) {
        if (!IsStorableTitle(row.title)) {
            ok = false;
            continue;
        }
        titles.push_back(row.title);
        ok = WriteEntry(menus.Get(), row) && ok;
    }
    // Only once every row is stored may the order change and old keys go.
    ok = ok && NextCallGoesThrough() && WriteOrder(settings, menus.Get(), titles);
    if (ok) {
        std::vector<std::wstring> named;
        for (const std::string& title : titles)
            named.push_back(FoldedTitle(title));
        std::sort(named.begin(), named.end());
        const std::optional<std::vector<StoredKey<char>>> keys =
            SubKeys<char>(settings, menus.Get());
        for (const StoredKey<char>& key : *keys) {
            const std::string& name = key.title;
            if (!std::binary_search(named.begin(), named.end(), FoldedTitle(name)))
                ok =
                    NextCallGoesThrough() && settings.DeleteSubKey(name.c_str(), menus.Get()) && ok;
        }
    }
    return ok;
}

bool ViewerStore::Add(const ViewerEntry& entry) {
    return Update(std::string(), entry);
}

std::vector<std::string> ViewerStore::OrderForEdit(HKEY menus, bool fromKeys) {
    if (!fromKeys) {
        std::vector<std::string> order = ReadOrder<char>(settings, menus);
        std::vector<std::wstring> folded;
        for (const std::string& title : order)
            folded.push_back(FoldedTitle(title));
        std::sort(folded.begin(), folded.end());
        if (order.size() == settings.SubKeyCount(menus) &&
            std::adjacent_find(folded.begin(), folded.end()) == folded.end())
            return order;
    }
    return TitlesBelow(menus);
}

bool ViewerStore::Update(const std::string& oldTitle, const ViewerEntry& entry) {
    if (!IsStorableTitle(entry.title))
        return false;
    const UniqueKey menus = MenusForEdit(true);
    if (!menus) // a null parent below would mean the root key
        return false;
    const bool sameKey = !oldTitle.empty() && SameTitle(oldTitle, entry.title);
    // Read before the new key counts among the keys.
    std::vector<std::string> order =
        sameKey ? std::vector<std::string>() : OrderForEdit(menus.Get());
    if (!WriteEntry(menus.Get(), entry))
        return false;
    if (sameKey)
        return true; // its order stands
    // The new name is in the order before the old one goes.
    if (const auto listed = FindTitle(order.begin(), order.end(), entry.title, Itself);
        listed != order.end())
        order.erase(listed);
    const auto old =
        oldTitle.empty() ? order.end() : FindTitle(order.begin(), order.end(), oldTitle, Itself);
    if (old != order.end())
        *old = entry.title;
    else
        order.push_back(entry.title);
    if (!NextCallGoesThrough() || !WriteOrder(settings, menus.Get(), order))
        return false;
    if (oldTitle.empty() || !IsStorableTitle(oldTitle))
        return true;
    // Gone already when another program deleted it while the user edited it.
    const bool oldExists = static_cast<bool>(settings.OpenSubKey(oldTitle.c_str(), menus.Get()));
    const bool ok = !oldExists ||
                    (NextCallGoesThrough() && settings.DeleteSubKey(oldTitle.c_str(), menus.Get()));
    // The choice follows the rename; were it left behind, it would name no viewer.
    if (SameTitle(LastChoice(), KeyNameOf(oldTitle)))
        return NextCallGoesThrough() && RememberChoice(KeyNameOf(entry.title)) && ok;
    return ok;
}

bool ViewerStore::Move(const std::string& title, int step) {
    const UniqueKey menus = MenusForEdit(false);
    if (!menus)
        return false;
    // The two viewers' places in `order`, when both are there and have keys.
    std::vector<std::string> order;
    auto places = [&]() -> std::optional<std::pair<size_t, size_t>> {
        const auto at = FindTitle(order.begin(), order.end(), title, Itself);
        const ptrdiff_t from = at - order.begin();
        const ptrdiff_t to = from + step;
        if (at == order.end() || to < 0 || to >= static_cast<ptrdiff_t>(order.size()))
            return std::nullopt;
        const auto places = std::pair{static_cast<size_t>(from), static_cast<size_t>(to)};
        for (size_t place : {places.first, places.second})
            if (!settings.OpenSubKey(order[place].c_str(), menus.Get()))
                return std::nullopt;
        return places;
    };
    order = OrderForEdit(menus.Get());
    std::optional<std::pair<size_t, size_t>> swapped = places();
    if (!swapped) {
        // The stored order may name a viewer that another program renamed behind its back.
        order = OrderForEdit(menus.Get(), true);
        swapped = places();
    }
    if (!swapped)
        return false;
    std::swap(order[swapped->first], order[swapped->second]);
    return NextCallGoesThrough() && WriteOrder(settings, menus.Get(), order);
}

bool ViewerStore::Delete(const std::string& title) {
    if (!IsStorableTitle(title))
        return false;
    const UniqueKey menus = MenusForEdit(false);
    if (!menus) // a null parent below would mean the root key
        return false;
    if (!NextCallGoesThrough() || !settings.DeleteSubKey(title.c_str(), menus.Get()))
        return false;
    // The stored order without the title; whatever else it lists stays, keys it does not list
    // still follow it.
    std::vector<std::string> order = ReadOrder<char>(settings, menus.Get());
    const std::wstring folded = FoldedTitle(title);
    std::erase_if(order, [&](const std::string& listed) { return FoldedTitle(listed) == folded; });
    return NextCallGoesThrough() && WriteOrder(settings, menus.Get(), order);
}

std::wstring ViewerStore::LastChoice() {
    DWORD type = 0;
    return UpToZero(ReadWide(settings, L"LastChoice", nullptr, type));
}

bool ViewerStore::RememberChoice(const std::wstring& title) {
    return settings.RootKey() && settings.SetString(L"LastChoice", title);
}

std::optional<LaunchValues> ViewerStore::LaunchValuesOf(const std::wstring& title, bool& tooLong) {
    tooLong = false;
    if (!IsStorableTitle(title))
        return std::nullopt;
    const UniqueKey menus = settings.OpenSubKey(menusKeyName);
    const UniqueKey entry = menus ? settings.OpenSubKey(title.c_str(), menus.Get()) : UniqueKey();
    if (!entry)
        return std::nullopt;
    // A value that is stored but does not fit is refused, never cut.
    auto read = [&](const wchar_t* name, std::wstring& value) {
        DWORD type = 0;
        const std::wstring stored = ReadWide(settings, name, entry.Get(), type);
        value = UpToZero(stored);
        return platform::AnsiLength(stored) <= maxLaunchLine + 1 &&
               FitsLaunchLine(value, platform::AnsiLength);
    };
    LaunchValues values;
    if (!read(nullptr, values.command) || !read(L"Param", values.parameters)) {
        tooLong = true;
        return std::nullopt;
    }
    return values;
}
