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

// The name of the key of `menus` that `title` names, spelt as the key is; `title` itself when
// the keys cannot be listed.
std::wstring KeyNameOf(SettingsKey& settings, HKEY menus, const std::wstring& title) {
    const std::optional<std::vector<StoredKey>> keys = SubKeys(settings, menus);
    if (!keys)
        return title;
    const auto found =
        FindTitle(keys->begin(), keys->end(), title,
                  [](const StoredKey& key) -> const std::wstring& { return key.title; });
    return found != keys->end() ? found->title : title;
}

// Writes `entry` in place of key `from`, which the registry takes for the same key but spells
// otherwise: the key is renamed to the title as `entry` spells it. The values go to a key of a
// passing name first, so that wherever this stops nothing is lost (the passing key may stay,
// as an extra viewer).
bool Respell(SettingsKey& settings, HKEY menus, const std::wstring& from,
             const ViewerEntry& entry) {
    std::wstring passing = entry.title.substr(0, maxTitleChars - 8) + L" (~)";
    while (settings.OpenSubKey(passing.c_str(), menus) && passing.size() < maxTitleChars)
        passing.insert(passing.size() - 1, 1, L'~');
    return WriteViewer(settings, menus, {passing, entry.command, entry.parameters}) &&
           settings.DeleteSubKey(from.c_str(), menus) && WriteViewer(settings, menus, entry) &&
           settings.DeleteSubKey(passing.c_str(), menus);
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
    // The list names a viewer as its key is spelt: an edit that keeps the title keeps the key.
    const bool inPlace = sameKey && oldTitle == entry.title;
    // Read before the new key counts among the keys.
    std::vector<std::wstring> order = OrderForEdit(settings, menus.Get());
    const auto old =
        oldTitle.empty() ? order.end() : FindTitle(order.begin(), order.end(), oldTitle, Itself);
    // The key that holds the new title already, spelt as it is: the viewer itself when only
    // the case of its title changes, or a viewer that the user chose to replace. Its key is
    // renamed to the title as the user spelt it.
    std::optional<std::wstring> holder;
    if (inPlace)
        holder = entry.title;
    else if (settings.OpenSubKey(entry.title.c_str(), menus.Get()))
        holder = KeyNameOf(settings, menus.Get(), entry.title);
    if (!(holder && *holder != entry.title ? Respell(settings, menus.Get(), *holder, entry)
                                           : WriteViewer(settings, menus.Get(), entry)))
        return false;

    // The order: the new title, spelt as its key, in the old one's place (or the replaced
    // viewer's, or last), every other title as it was. An edit in place whose title the stored
    // order lists (also when another program deleted its key meanwhile) leaves it as it is.
    std::vector<std::wstring> edited;
    bool placed = false;
    for (const std::wstring& listed : order) {
        const bool isOld = !oldTitle.empty() && SameTitle(listed, oldTitle);
        if (!isOld && !SameTitle(listed, entry.title)) {
            edited.push_back(listed);
        } else if (!placed && (isOld || old == order.end())) {
            edited.push_back(entry.title);
            placed = true;
        }
    }
    if (!placed)
        edited.push_back(entry.title);
    const bool listedAsIs = inPlace && [&] {
        const std::vector<std::wstring> stored = ReadOrder(settings, menus.Get());
        return FindTitle(stored.begin(), stored.end(), entry.title, Itself) != stored.end();
    }();
    if (!listedAsIs && edited != order && !WriteOrder(settings, menus.Get(), edited))
        return false;
    if (sameKey || oldTitle.empty() || !IsStorableTitle(oldTitle))
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
    if (!WriteOrder(settings, menus.Get(), order))
        return false;
    // A deleted viewer is no choice to remember: a later viewer of that title is another.
    return !SameTitle(LastChoice(), title) || RememberChoice(std::wstring());
}
