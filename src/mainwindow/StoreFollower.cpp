#include "mainwindow/StoreFollower.h"

#include "mainwindow/ViewerListPane.h"
#include "store/ViewerStore.h"

namespace {
// The timer by which the shown window looks for changes of the store, and how often.
constexpr UINT_PTR storeTimerId = 1;
constexpr UINT storeLookMs = 500;
// How long the list's look at the store may give way to the user's clicks and keys.
constexpr DWORD listMayWaitMs = 5000;
} // namespace

void StoreFollower::Start() {
    storeWatch.emplace();
    // The menu reads anew what the window wrote. The watch reports that write too: the list
    // then compares itself with the store, which also finds whatever another program wrote
    // at the same time.
    list.afterWrite = [this] { ForgetMenuReads(); };
}

void StoreFollower::Shown(HWND window) {
    Look();
    list.EnsureLoaded();
    SetTimer(window, storeTimerId, storeLookMs, nullptr);
}

void StoreFollower::Hidden(HWND window) {
    KillTimer(window, storeTimerId);
}

bool StoreFollower::OnTimer(UINT_PTR id) {
    if (id != storeTimerId)
        return false;
    Look();
    return true;
}

void StoreFollower::Look() {
    if (storeWatch && storeWatch->Changed()) {
        ForgetMenuReads();
        ListFallsBehind();
    }
    // The list's look gives way to a click or key that waits (an edit reads what it needs from
    // the store itself) and is taken up again at the next tick; after a while it finishes
    // whatever waits.
    if (listBehind)
        listBehind = !list.Sync(GetTickCount() - listBehindSince < listMayWaitMs);
}

void StoreFollower::ListFallsBehind() {
    if (!listBehind)
        listBehindSince = GetTickCount();
    listBehind = true;
}

void StoreFollower::ForgetMenuReads() {
    menuTitles.reset();
    lastChoice.reset();
    programIcons.Clear();
}

const std::vector<std::wstring>& StoreFollower::MenuTitles() {
    Look();
    if (!menuTitles)
        menuTitles = ViewerStore().Titles();
    return *menuTitles;
}

const std::wstring& StoreFollower::LastChoice() {
    Look();
    if (!lastChoice)
        lastChoice = ViewerStore().LastChoice();
    return *lastChoice;
}

void StoreFollower::RememberChoice(const std::wstring& title) {
    // A change that another program made before is taken in first; this write is none.
    if (LastChoice() == title)
        return;
    if (!ViewerStore().RememberChoice(title))
        return;
    lastChoice = title;
    // The watch reports this write, and with it any change another program made meanwhile:
    // the list looks again (it reads only the viewers whose keys changed), and the menu's
    // reads, whose icons are slow to load, go only when its titles changed.
    if (!storeWatch || !storeWatch->Changed())
        return;
    if (menuTitles && ViewerStore().Titles() != *menuTitles)
        ForgetMenuReads();
    ListFallsBehind();
}
