#include "store/ViewerStore.h"

#include <algorithm>

namespace {

// Enough for any key name: 255 characters of at most two bytes each.
constexpr DWORD nameBufferBytes = 1024;

// A name as the registry compares it: letter by letter in Unicode without regard to case, so
// that a double-byte character whose second byte looks like an ASCII letter is not folded.
std::wstring Folded(const std::string& name) {
    std::wstring wide = KeyNameOf(name);
    std::wstring upper(wide.size(), L'\0');
    const int length = static_cast<int>(wide.size());
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), length, upper.data(), length);
    return upper;
}

// The names of the sub-keys of `parent` (not null) in enumeration order.
std::vector<std::string> SubKeyNames(SettingsKey& key, HKEY parent) {
    std::vector<std::string> names;
    char name[nameBufferBytes];
    for (DWORD i = 0; key.EnumSubKey(i, name, sizeof name, parent); ++i)
        names.emplace_back(name);
    return names;
}

// The whole of value `name` of `parent`, however long, and its type; empty when it is missing.
std::vector<char> ReadValue(SettingsKey& key, const char* name, HKEY parent, DWORD& type) {
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

// The titles that `Order` of `menus` lists, as stored; none when it is missing or not a
// REG_MULTI_SZ.
std::vector<std::string> ReadOrder(SettingsKey& key, HKEY menus) {
    DWORD type = 0;
    std::vector<char> data = ReadValue(key, orderValueName, menus, type);
    if (type != REG_MULTI_SZ)
        return {};
    std::vector<std::string> titles;
    const auto end = data.end();
    for (auto start = data.begin(); start < end;) {
        const auto stop = std::find(start, end, '\0');
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

bool SameTitle(const std::string& a, const std::string& b) {
    return Folded(a) == Folded(b);
}

bool IsStorableTitle(const std::string& title) {
    if (title.empty() || title.size() > 2 * maxTitleChars)
        return false;
    // Looked for in UTF-16: the second byte of a double-byte character (that of "ソ" or "表")
    // may be 0x5C without being a backslash.
    const std::wstring wide = KeyNameOf(title);
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

std::vector<std::string> ViewerStore::Titles() {
    const UniqueKey menus = settings.OpenSubKey(menusKeyName);
    return TitlesBelow(menus.Get());
}

std::vector<std::string> ViewerStore::TitlesBelow(HKEY menus) {
    if (!menus) // a null parent below would mean the root key
        return {};
    std::vector<std::string> names = SubKeyNames(settings, menus);
    // Each name is folded once and looked up by binary search: lists of a thousand viewers
    // stay quick to match.
    std::vector<std::pair<std::wstring, size_t>> unlisted;
    for (size_t i = 0; i < names.size(); ++i)
        unlisted.emplace_back(Folded(names[i]), i);
    std::sort(unlisted.begin(), unlisted.end());
    std::vector<bool> taken(names.size(), false);
    std::vector<std::string> titles;
    for (const std::string& listed : ReadOrder(settings, menus)) {
        const std::pair<std::wstring, size_t> wanted{Folded(listed), 0};
        const auto found = std::lower_bound(unlisted.begin(), unlisted.end(), wanted);
        if (found != unlisted.end() && found->first == wanted.first && !taken[found->second]) {
            taken[found->second] = true;
            titles.push_back(names[found->second]);
        }
    }
    for (size_t i = 0; i < names.size(); ++i)
        if (!taken[i])
            titles.push_back(std::move(names[i]));
    return titles;
}

std::vector<ViewerEntry> ViewerStore::Load() {
    std::vector<ViewerEntry> rows;
    const UniqueKey menus = settings.OpenSubKey(menusKeyName);
    for (const std::string& title : TitlesBelow(menus.Get())) {
        const UniqueKey entry = settings.OpenSubKey(title.c_str(), menus.Get());
        if (!entry)
            continue;
        rows.push_back({title, ReadText(settings, nullptr, entry.Get()),
                        ReadText(settings, paramValueName, entry.Get())});
    }
    return rows;
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
            named.push_back(Folded(title));
        std::sort(named.begin(), named.end());
        for (const std::string& name : SubKeyNames(settings, menus.Get()))
            if (!std::binary_search(named.begin(), named.end(), Folded(name)))
                ok =
                    NextCallGoesThrough() && settings.DeleteSubKey(name.c_str(), menus.Get()) && ok;
    }
    return ok;
}

bool ViewerStore::Add(const ViewerEntry& entry, const std::vector<std::string>& order) {
    return Update(std::string(), entry, order);
}

bool ViewerStore::Update(const std::string& oldTitle, const ViewerEntry& entry,
                         const std::vector<std::string>& order) {
    if (!IsStorableTitle(entry.title))
        return false;
    const UniqueKey menus = MenusForEdit(true);
    if (!menus) // a null parent below would mean the root key
        return false;
    if (!WriteEntry(menus.Get(), entry))
        return false;
    if (!oldTitle.empty() && SameTitle(oldTitle, entry.title))
        return true; // the same key: its order stands
    // The new name is in the order before the old one goes.
    if (!NextCallGoesThrough() || !WriteOrder(settings, menus.Get(), order))
        return false;
    if (oldTitle.empty() || !IsStorableTitle(oldTitle))
        return true;
    const bool ok = NextCallGoesThrough() && settings.DeleteSubKey(oldTitle.c_str(), menus.Get());
    // The choice follows the rename; were it left behind, it would name no viewer.
    if (SameTitle(LastChoice(), oldTitle))
        return NextCallGoesThrough() && RememberChoice(entry.title) && ok;
    return ok;
}

bool ViewerStore::Reorder(const std::vector<std::string>& order) {
    const UniqueKey menus = MenusForEdit(false);
    return menus && NextCallGoesThrough() && WriteOrder(settings, menus.Get(), order);
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
    std::vector<std::string> order = ReadOrder(settings, menus.Get());
    const std::wstring folded = Folded(title);
    std::erase_if(order, [&](const std::string& listed) { return Folded(listed) == folded; });
    return NextCallGoesThrough() && WriteOrder(settings, menus.Get(), order);
}

std::string ViewerStore::LastChoice() {
    std::string title;
    return settings.GetString(lastChoiceValueName, title, "") ? title : std::string();
}

bool ViewerStore::RememberChoice(const std::string& title) {
    return settings.RootKey() && settings.SetString(lastChoiceValueName, title.c_str());
}

std::optional<LaunchValues> ViewerStore::LaunchValuesOf(const std::string& title, size_t capacity,
                                                        bool& tooLong) {
    tooLong = false;
    if (!IsStorableTitle(title))
        return std::nullopt;
    const UniqueKey menus = settings.OpenSubKey(menusKeyName);
    const UniqueKey entry = menus ? settings.OpenSubKey(title.c_str(), menus.Get()) : UniqueKey();
    if (!entry)
        return std::nullopt;
    // Each value is read into a buffer of the launch's size; one that is stored but does not
    // fit is refused, never cut.
    std::vector<char> buffer(capacity);
    auto read = [&](const char* name, std::string& value) {
        if (settings.GetString(name, buffer.data(), buffer.size(), "", entry.Get())) {
            value = buffer.data();
            return true;
        }
        DWORD type = 0;
        DWORD size = 0;
        settings.QueryValue(name, &type, nullptr, &size, entry.Get());
        value.clear();
        return size == 0;
    };
    LaunchValues values;
    if (!read(nullptr, values.command) || !read(paramValueName, values.parameters)) {
        tooLong = true;
        return std::nullopt;
    }
    return values;
}
