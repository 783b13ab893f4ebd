#pragma once
// Follows the store's changes, whoever makes them: the list of viewers takes them in while the
// window is shown, and what a viewer menu read from the store (its titles, the viewer chosen
// last, the programs' icons) is read again for the next menu. The main dialog owns it and
// routes its showing, hiding and timer to it.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "mainwindow/ProgramIcons.h"
#include "store/StoreWatch.h"

class ViewerListPane;

class StoreFollower {
  public:
    explicit StoreFollower(ViewerListPane& list) : list(list) {}
    StoreFollower(const StoreFollower&) = delete;
    StoreFollower& operator=(const StoreFollower&) = delete;

    // Starts watching the store, once the list is set up.
    void Start();
    // The window was shown: the list is read (the first time) or follows the store, and looks
    // again twice a second while the window stays shown.
    void Shown(HWND window);
    // The window was hidden: the list stops looking.
    void Hidden(HWND window);
    // WM_TIMER with timer `id`: false when the timer is not this part's.
    bool OnTimer(UINT_PTR id);

    // Takes in a change of the store, when there was one.
    void Look();
    // Forgets the menu's titles, last choice and images, read again for the next menu.
    void ForgetMenuReads();
    // The titles for a viewer menu: read once, then again only after the store changed.
    const std::vector<std::wstring>& MenuTitles();
    // The images of the menu's viewers of `titles`, `size` pixels square (ProgramIcons).
    std::vector<HBITMAP> MenuImages(const std::vector<std::wstring>& titles, int size) {
        return programIcons.ImagesOf(titles, size);
    }
    // The title of the viewer chosen last, read with the titles; and remembered in the store.
    const std::wstring& LastChoice();
    void RememberChoice(const std::wstring& title);

  private:
    // The list is to take in a change of the store.
    void ListFallsBehind();

    ViewerListPane& list;
    std::optional<StoreWatch> storeWatch;
    // Set while the list has not yet taken in a change of the store, and since when.
    bool listBehind = false;
    DWORD listBehindSince = 0;
    std::optional<std::vector<std::wstring>> menuTitles;
    std::optional<std::wstring> lastChoice;
    // The icons of the menu's viewers: forgotten whenever the titles are read anew.
    ProgramIcons programIcons;
};
