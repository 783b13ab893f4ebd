#include "store/ViewerOrder.h"

#include <algorithm>

std::vector<std::wstring> ReadOrder(SettingsKey& settings, HKEY menus) {
    DWORD type = 0;
    const std::wstring data = ReadStoredText(settings, orderValueName, menus, type);
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

bool WriteOrder(SettingsKey& settings, HKEY menus, const std::vector<std::wstring>& titles) {
    std::wstring data;
    for (const std::wstring& title : titles) {
        data += title;
        data += L'\0';
    }
    data += L'\0';
    return settings.SetValue(orderValueName, REG_MULTI_SZ,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size() * sizeof(wchar_t)), menus);
}

std::optional<std::vector<StoredKey>> KeysInMenuOrder(SettingsKey& settings, HKEY menus,
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

std::vector<std::wstring> TitlesInMenuOrder(SettingsKey& settings, HKEY menus) {
    std::vector<std::wstring> titles;
    std::optional<std::vector<StoredKey>> keys = KeysInMenuOrder(settings, menus);
    for (StoredKey& key : *keys)
        titles.push_back(std::move(key.title));
    return titles;
}

std::vector<std::wstring> OrderForEdit(SettingsKey& settings, HKEY menus, bool fromKeys) {
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
    return TitlesInMenuOrder(settings, menus);
}
