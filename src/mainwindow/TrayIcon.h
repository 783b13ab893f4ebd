#pragma once
// The resident instance's icon in the notification area. Added once the window exists, added
// again when the shell restarts, removed when the owner goes.

#include <windows.h>

class TrayIcon {
  public:
    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon for `window`, whose `callbackMessage` then reports the mouse on it; or adds
    // it again after the shell lost it. True when the shell shows it. The shell keeps a copy
    // of `icon`.
    bool Add(HWND window, HICON icon, UINT callbackMessage);
    void Remove();
    bool Present() const { return present; }

  private:
    HWND window = nullptr;
    bool present = false;
};
