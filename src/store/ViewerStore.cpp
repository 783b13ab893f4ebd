#include "store/ViewerStore.h"

#include <algorithm>

namespace {

// Enough for any key name: 255 characters of at most two bytes each.
constexpr DWORD nameBufferBytes = 1024;

// Counts one registry create, write or delete of SaveViewers; false when StoreFaults makes
// it fail.
bool NextCallGoesThrough() {
    const int call = ++StoreFaults::calls;
    return StoreFaults::failFrom == 0 || call < StoreFaults::failFrom || call > StoreFaults::failTo;
}

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
std::vector<std::string> SubKeyNames(RegistryKeyBase& key, HKEY parent) {
    std::vector<std::string> names;
    char name[nameBufferBytes];
    for (DWORD i = 0; key.EnumSubKey(i, name, sizeof name, parent); ++i)
        names.emplace_back(name);
    return names;
}

// The whole of value `name` of `parent`, however long, and its type; empty when it is missing.
std::vector<char> ReadValue(RegistryKeyBase& key, const char* name, HKEY parent, DWORD& type) {
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
std::string ReadText(RegistryKeyBase& key, const char* name, HKEY entry) {
    DWORD type = 0;
    std::vector<char> data = ReadValue(key, name, entry, type);
    return std::string(data.begin(), std::find(data.begin(), data.end(), '\0'));
}

// The titles that `Order` of `menus` lists, as stored; none when it is missing or not a
// REG_MULTI_SZ.
std::vector<std::string> ReadOrder(RegistryKeyBase& key, HKEY menus) {
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
bool WriteOrder(RegistryKeyBase& key, HKEY menus, const std::vector<std::string>& titles) {
    std::string data;
    for (const std::string& title : titles) {
        data += title;
        data += '\0';
    }
    data += '\0';
    return key.SetValue(orderValueName, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size()), menus);
}

bool WriteEntry(RegistryKeyBase& key, HKEY menus, const ViewerEntry& row) {
    HKEY entry = NextCallGoesThrough() ? key.CreateSubKey(row.title.c_str(), menus) : nullptr;
    if (!entry) // a null parent below would mean the root key
        return false;
    bool ok = NextCallGoesThrough() && key.SetString(nullptr, row.command.c_str(), entry);
    ok =
        NextCallGoesThrough() && key.SetString(paramValueName, row.parameters.c_str(), entry) && ok;
    key.CloseSubKey(entry);
    return ok;
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

std::vector<std::string> ViewerTitles(RegistryKeyBase& key, HKEY menus) {
    if (!menus)
        return {};
    std::vector<std::string> names = SubKeyNames(key, menus);
    // Each name is folded once and looked up by binary search: lists of a thousand viewers
    // stay quick to match.
    std::vector<std::pair<std::wstring, size_t>> unlisted;
    for (size_t i = 0; i < names.size(); ++i)
        unlisted.emplace_back(Folded(names[i]), i);
    std::sort(unlisted.begin(), unlisted.end());
    std::vector<bool> taken(names.size(), false);
    std::vector<std::string> titles;
    for (const std::string& listed : ReadOrder(key, menus)) {
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

std::vector<ViewerEntry> LoadViewers(RegistryKeyBase& key) {
    std::vector<ViewerEntry> rows;
    HKEY menus = key.OpenSubKey(menusKeyName);
    for (const std::string& title : ViewerTitles(key, menus)) {
        HKEY entry = key.OpenSubKey(title.c_str(), menus);
        if (!entry)
            continue;
        ViewerEntry row{title, ReadText(key, nullptr, entry), ReadText(key, paramValueName, entry)};
        key.CloseSubKey(entry);
        rows.push_back(std::move(row));
    }
    key.CloseSubKey(menus);
    return rows;
}

bool SaveViewers(RegistryKeyBase& key, const std::vector<ViewerEntry>& rows) {
    HKEY menus = NextCallGoesThrough() ? key.CreateSubKey(menusKeyName) : nullptr;
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
        ok = WriteEntry(key, menus, row) && ok;
    }
    // Only once every row is stored may the order change and old keys go.
    ok = ok && NextCallGoesThrough() && WriteOrder(key, menus, titles);
    if (ok) {
        std::vector<std::wstring> named;
        for (const std::string& title : titles)
            named.push_back(Folded(title));
        std::sort(named.begin(), named.end());
        for (const std::string& name : SubKeyNames(key, menus))
            if (!std::binary_search(named.begin(), named.end(), Folded(name)))
                ok = NextCallGoesThrough() && key.DeleteSubKey(name.c_str(), menus) && ok;
    }
    key.CloseSubKey(menus);
    return ok;
}

bool DeleteViewer(RegistryKeyBase& key, const std::string& title) {
    if (!IsStorableTitle(title))
        return false;
    HKEY menus = key.OpenSubKey(menusKeyName);
    if (!menus) // a null parent below would mean the root key
        return false;
    const bool deleted = key.DeleteSubKey(title.c_str(), menus);
    const bool ordered = WriteOrder(key, menus, ViewerTitles(key, menus));
    key.CloseSubKey(menus);
    return deleted && ordered;
}
