#include "store/ViewerStore.h"

#include "store/ViewerOrder.h"

namespace {

// Whether `written` lies less than two seconds before `now` (or after it).
bool Recent(const FILETIME& written, const FILETIME& now) {
    constexpr ULONGLONG twoSeconds = 2 * 10000000ULL; // in 100-ns units
    const ULONGLONG then = (ULONGLONG{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    const ULONGLONG at = (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return then + twoSeconds > at;
}

} // namespace

ViewerStore::ViewerStore(const wchar_t* product) : settings(settingsMaker, product) {}

std::vector<std::wstring> ViewerStore::Titles() {
    return TitlesInMenuOrder(settings, settings.OpenSubKey(menusKeyName).Get());
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
    std::optional<std::vector<StoredKey>> listed = KeysInMenuOrder(settings, menus.Get(), stop);
    if (!listed)
        return std::nullopt;
    for (StoredKey& key : *listed) {
        const ViewerEntry* before =
            known && !Recent(key.written, now) ? known(key.title, key.written) : nullptr;
        if (before) {
            viewers.push_back(
                {{std::move(key.title), before->command, before->parameters}, key.written});
        } else if (std::optional<ViewerEntry> entry =
                       ReadViewer(settings, menus.Get(), key.title)) {
            viewers.push_back({std::move(*entry), key.written});
        }
    }
    return viewers;
}

std::optional<ViewerEntry> ViewerStore::Read(const std::wstring& title) {
    return ReadViewer(settings, settings.OpenSubKey(menusKeyName).Get(), title);
}

std::optional<StoredValues> ViewerStore::ReadStored(const std::wstring& title) {
    return ReadValues(settings, settings.OpenSubKey(menusKeyName).Get(), title);
}
