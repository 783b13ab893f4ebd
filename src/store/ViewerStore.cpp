#include "store/ViewerStore.h"

#include <algorithm>
#include <cstring>

#include "platform/AnsiText.h"

namespace {

// Enough for any key name: 255 UTF-16 units and a terminator.
constexpr DWORD nameBufferUnits = 256;

// How many sub-keys are enumerated between two questions whether to stop.
constexpr DWORD keysBetweenStops = 32;

// The sub-keys of `parent` (not null) in enumeration order, each with the time it was last
// written; none when `stop` (unless empty) said so before the last one.
std::optional<std::vector<StoredKey>> SubKeys(SettingsKey& key, HKEY parent,
                                              const std::function<bool()>& stop = nullptr) {
    std::vector<StoredKey> keys;
    wchar_t name[nameBufferUnits];
    FILETIME written{};
    for (DWORD i = 0; key.EnumSubKey(i, name, nameBufferUnits, parent, &written); ++i) {
        if (stop && i % keysBetweenStops == keysBetweenStops - 1 && stop())
            return std::nullopt;
        keys.push_back({name, written});
    }
    return keys;
}

const std::wstring& Itself(const std::wstring& title) {
    return title;
}

// Whether `written` lies less than two seconds before `now` (or after it).
bool Recent(const FILETIME& written, const FILETIME& now) {
    constexpr ULONGLONG twoSeconds = 2 * 10000000ULL; // in 100-ns units
    const ULONGLONG then = (ULONGLONG{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    const ULONGLONG at = (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return then + twoSeconds > at;
}

// Whether a value of `type` holds text.
bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Value `name` of `parent` as stored, however long (the list is the in-memory copy that an
// edit writes back, so a value cut to a reader's buffer would be lost), and its type; "" when
// it is missing. A value of another type than text is taken as text of the ANSI code page,
// its bytes as they are.
std::wstring ReadText(SettingsKey& key, const wchar_t* name, HKEY parent, DWORD& type) {
    DWORD size = 0;
    key.QueryValue(name, &type, nullptr, &size, parent); // learns the size
    std::vector<char> data(size);
    if (!key.QueryValue(name, &type, reinterpret_cast<BYTE*>(data.data()), &size, parent))
        return {};
    data.resize(size);
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
std::vector<std::wstring> ReadOrder(SettingsKey& key, HKEY menus) {
    DWORD type = 0;
    const std::wstring data = ReadText(key, orderValueName, menus, type);
    if (type != REG_MULTI_SZ)
        return {};
    std::vector<std::wstring> titles;
    const auto end = data.end();
    for (auto start = data.begin(); start < end;) {
        const auto stop = std::find(start, end, L'\0');
        if (stop != start)
            titles.emplace_back(start, stop);
        start = stop == end ? end : stop + 1;
    }
    return titles;
}

// Writes `titles` as `Order` of `menus` in one call, so a reader sees the old or the new list.
bool WriteOrder(SettingsKey& key, HKEY menus, const std::vector<std::wstring>& titles) {
    std::wstring data;
    for (const std::wstring& title : titles) {
        data += title;
        data += L'\0';
    }
    data += L'\0';
    return key.SetValue(orderValueName, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size() * sizeof(wchar_t)), menus);
}

} // namespace

ViewerStore::ViewerStore(const wchar_t* product) : settings(settingsMaker, product) {}

bool ViewerStore::HasViewers() {
    constexpr std::size_t nameBufferBytes = 64;
    const UniqueKey menus = settings.OpenSubKey(menusKeyName);
    wchar_t first[nameBufferUnits];
    return menus && settings.EnumSubKey(0, first, nameBufferUnits, menus.Get()) &&
           platform::AnsiLength(first) < nameBufferBytes;
}

std::vector<std::wstring> ViewerStore::Titles() {
    return TitlesBelow(settings.OpenSubKey(menusKeyName).Get());
}

std::optional<std::vector<StoredKey>> ViewerStore::Listed(HKEY menus,
                                                          const std::function<bool()>& stop) {
    if (!menus) // a null parent below would mean the root key
        return std::vector<StoredKey>();
    std::optional<std::vector<StoredKey>> found = SubKeys(settings, menus, stop);
    if (!found)
        return std::nullopt;
    std::vector<StoredKey>& keys = *found;
    // Each name is folded once and looked up by binary search: lists of a thousand viewers
    // stay quick to match.
    std::vector<std::pair<std::wstring, size_t>> unlisted;
    for (size_t i = 0; i < keys.size(); ++i)
        unlisted.emplace_back(FoldedTitle(keys[i].title), i);
    std::sort(unlisted.begin(), unlisted.end());
    std::vector<bool> taken(keys.size(), false);
    std::vector<StoredKey> listed;
    for (const std::wstring& title : ReadOrder(settings, menus)) {
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

std::vector<std::wstring> ViewerStore::TitlesBelow(HKEY menus) {
    std::vector<std::wstring> titles;
    std::optional<std::vector<StoredKey>> listed = Listed(menus);
    for (StoredKey& key : *listed)
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
    std::optional<std::vector<StoredKey>> listed = Listed(menus.Get(), stop);
    if (!listed)
        return std::nullopt;
    for (StoredKey& key : *listed) {
        const ViewerEntry* before =
            known && !Recent(key.written, now) ? known(key.title, key.written) : nullptr;
        if (before) {
            viewers.push_back(
                {{std::move(key.title), before->command, before->parameters}, key.written});
        } else if (std::optional<ViewerEntry> entry = ReadEntry(menus.Get(), key.title)) {
            viewers.push_back({std::move(*entry), key.written});
        }
    }
    return viewers;
}

std::optional<StoredValues> ViewerStore::ReadValues(HKEY menus, const std::wstring& title) {
    const UniqueKey key =
        menus && IsStorableTitle(title) ? settings.OpenSubKey(title.c_str(), menus) : UniqueKey();
    if (!key)
        return std::nullopt;
    DWORD type = 0;
    StoredValues values;
    values.command = ReadText(settings, nullptr, key.Get(), type);
    values.parameters = ReadText(settings, paramValueName, key.Get(), type);
    return values;
}

std::optional<ViewerEntry> ViewerStore::ReadEntry(HKEY menus, const std::wstring& title) {
    const std::optional<StoredValues> values = ReadValues(menus, title);
    if (!values)
        return std::nullopt;
    return ViewerEntry{title, UpToZero(values->command), UpToZero(values->parameters)};
}

std::optional<ViewerEntry> ViewerStore::Read(const std::wstring& title) {
    return ReadEntry(settings.OpenSubKey(menusKeyName).Get(), title);
}

std::optional<StoredValues> ViewerStore::ReadStored(const std::wstring& title) {
    return ReadValues(settings.OpenSubKey(menusKeyName).Get(), title);
}

UniqueKey ViewerStore::MenusForEdit(bool create) {
    return create ? settings.CreateSubKey(menusKeyName) : settings.OpenSubKey(menusKeyName);
}

bool ViewerStore::WriteEntry(HKEY menus, const ViewerEntry& row) {
    const UniqueKey entry = settings.CreateSubKey(row.title.c_str(), menus);
    if (!entry) // a null parent below would mean the root key
        return false;
    const bool commandWritten = settings.SetString(nullptr, row.command, entry.Get());
    return settings.SetString(paramValueName, row.parameters, entry.Get()) && commandWritten;
}

bool ViewerStore::Add(const ViewerEntry& entry) {
    return Update(std::wstring(), entry);
}

std::vector<std::wstring> ViewerStore::OrderForEdit(HKEY menus, bool fromKeys) {
    if (!fromKeys) {
        std::vector<std::wstring> order = ReadOrder(settings, menus);
        std::vector<std::wstring> folded;
        for (const std::wstring& title : order)
            folded.push_back(FoldedTitle(title));
        std::sort(folded.begin(), folded.end());
        if (order.size() == settings.SubKeyCount(menus) &&
            std::adjacent_find(folded.begin(), folded.end()) == folded.end())
            return order;
    }
    return TitlesBelow(menus);
}

bool ViewerStore::Update(const std::wstring& oldTitle, const ViewerEntry& entry) {
    if (!IsStorableTitle(entry.title))
        return false;
    const UniqueKey menus = MenusForEdit(true);
    if (!menus) // a null parent below would mean the root key
        return false;
    const bool sameKey = !oldTitle.empty() && SameTitle(oldTitle, entry.title);
    // Read before the new key counts among the keys.
    std::vector<std::wstring> order =
        sameKey ? std::vector<std::wstring>() : OrderForEdit(menus.Get());
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
    if (!WriteOrder(settings, menus.Get(), order))
        return false;
    if (oldTitle.empty() || !IsStorableTitle(oldTitle))
        return true;
    // Gone already when another program deleted it while the user edited it.
    const bool oldExists = static_cast<bool>(settings.OpenSubKey(oldTitle.c_str(), menus.Get()));
    const bool ok = !oldExists || settings.DeleteSubKey(oldTitle.c_str(), menus.Get());
    // The choice follows the rename; were it left behind, it would name no viewer.
    if (SameTitle(LastChoice(), oldTitle))
        return RememberChoice(entry.title) && ok;
    return ok;
}

bool ViewerStore::Move(const std::wstring& title, int step) {
    const UniqueKey menus = MenusForEdit(false);
    if (!menus)
        return false;
    // The two viewers' places in `order`, when both are there and have keys.
    std::vector<std::wstring> order;
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
    return WriteOrder(settings, menus.Get(), order);
}

bool ViewerStore::Delete(const std::wstring& title) {
    if (!IsStorableTitle(title))
        return false;
    const UniqueKey menus = MenusForEdit(false);
    if (!menus) // a null parent below would mean the root key
        return false;
    if (!settings.DeleteSubKey(title.c_str(), menus.Get()))
        return false;
    // The stored order without the title; whatever else it lists stays, keys it does not list
    // still follow it.
    std::vector<std::wstring> order = ReadOrder(settings, menus.Get());
    const std::wstring folded = FoldedTitle(title);
    std::erase_if(order, [&](const std::wstring& listed) { return FoldedTitle(listed) == folded; });
    return WriteOrder(settings, menus.Get(), order);
}

std::wstring ViewerStore::LastChoice() {
    DWORD type = 0;
    return UpToZero(ReadText(settings, lastChoiceValueName, nullptr, type));
}

bool ViewerStore::RememberChoice(const std::wstring& title) {
    return settings.RootKey() && settings.SetString(lastChoiceValueName, title);
}
