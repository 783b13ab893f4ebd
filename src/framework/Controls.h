#pragma once
// Thin wrappers of the standard controls and of pop-up menus. A wrapper does not own its
// control window: the dialog does.

#include <windows.h>
#include <commctrl.h>
#include <string>

#include "platform/Handles.h"

namespace fw {

// The whole text of `window`, however long.
std::wstring WindowText(HWND window);

class Window {
  public:
    HWND Hwnd() const { return hwnd; }
    void Attach(HWND window) { hwnd = window; }
    BOOL Enable(bool enable) const { return EnableWindow(hwnd, enable); }

  private:
    HWND hwnd = nullptr;
};

// A report-style list view whose rows the owner draws from its own data.
class ListView : public Window {
  public:
    // Inserts a column `width` pixels wide at 96 DPI, scaled to the list's DPI; returns its
    // index or −1.
    int InsertColumn(int index, const std::wstring& heading, int width) const;
    BOOL SetItemState(int item, UINT state, UINT mask) const;
    // The row under `point` (client coordinates), or −1.
    int HitTest(POINT point) const;
};

// A pop-up menu, destroyed with its owner object.
class PopupMenu {
  public:
    PopupMenu() : menu(CreatePopupMenu()) {}
    HMENU Handle() const { return menu.Get(); }
    BOOL AppendItem(UINT id, const std::wstring& text) const {
        return AppendMenuW(menu.Get(), MF_STRING, id, text.c_str());
    }

  private:
    UniqueMenu menu;
};

} // namespace fw
