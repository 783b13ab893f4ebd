// The list window's edits of the store (ViewerStore.h): each writes only what it changes, in
// an order that loses no entry wherever it fails or is interrupted.

#include "store/ViewerStore.h"

#include <algorithm>

#include "store/ViewerOrder.h"

namespace {

const std::wstring& Itself(const std::wstring& title) {
    return title;
}

// `Menus` for an edit, created when `create`; empty when that fails (a null parent would stand
// for the root key, so nothing may be written then).
UniqueKey MenusForEdit(SettingsKey& settings, bool create) {
    return create ? settings.CreateSubKey(menusKeyName) : settings.OpenSubKey(menusKeyName);
}

} // namespace

bool ViewerStore::Add(const ViewerEntry& entry) {
    return Update(std::wstring(), entry);
}

bool ViewerStore::Update(const std::wstring& oldTitle, const ViewerEntry& entry) {
    if (!IsStorableTitle(entry.title))
        return false;
    const UniqueKey menus = MenusForEdit(settings, true);
    if (!menus) // a null parent below would mean the root key
        return false;
    const bool sameKey = !oldTitle.empty() && SameTitle(oldTitle, entry.title);
    // Read before the new key counts among the keys.
    std::vector<std::wstring> order =
        sameKey ? std::vector<std::wstring>() : OrderForEdit(settings, menus.Get());
    if (!WriteViewer(settings, menus.Get(), entry))
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
    const UniqueKey menus = MenusForEdit(settings, false);
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
    order = OrderForEdit(settings, menus.Get());
    std::optional<std::pair<size_t, size_t>> swapped = places();
    if (!swapped) {
        // The stored order may name a viewer that another program renamed behind its back.
        order = OrderForEdit(settings, menus.Get(), true);
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
    const UniqueKey menus = MenusForEdit(settings, false);
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
