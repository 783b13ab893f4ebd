#pragma once
// What a window shows at a size in pixels, kept at the window's DPI: its caption's icons, the
// icons of its icon controls and the column widths of its list views. When the window moves to
// a monitor of another DPI, the system rescales a dialog, its controls and their fonts; these
// are the program's to rescale.

#include <windows.h>
#include <vector>

#include "framework/Dpi.h"
#include "platform/Handles.h"

namespace fw {

class DpiFollower {
  public:
    DpiFollower() = default;
    DpiFollower(const DpiFollower&) = delete;
    DpiFollower& operator=(const DpiFollower&) = delete;

    // Follows `window` from now on, at its DPI.
    void Attach(HWND window);
    // Lets the window go and the icons it showed with it (once it is destroyed).
    void Detach();

    // Sets the window's icons to icon `iconId` at the large and small icon sizes for its DPI.
    void SetIcons(UINT iconId);
    // The window's small icon as SetIcons set it (null before); valid while the window lives.
    HICON SmallIcon() const { return smallIcon.Get(); }
    // Shows icon `iconId` in the icon control `controlId` at the large icon size for the
    // window's DPI. A template's icon control gets the size of the system's DPI, which is not
    // the window's on every monitor.
    void ShowIcon(int controlId, UINT iconId);

    // The window now has `newDpi` (WM_DPICHANGED, after the dialog manager has rescaled the
    // window): its list views' columns and the icons set above follow.
    void OnDpiChanged(UINT newDpi);

  private:
    struct ShownIcon {
        int controlId;
        UINT iconId;
        UniqueIcon icon;
    };

    HWND window = nullptr;
    UINT dpi = defaultDpi;
    UINT windowIconId = 0;             // as SetIcons was given it
    UniqueIcon largeIcon, smallIcon;   // the window's, set by SetIcons
    std::vector<ShownIcon> shownIcons; // set by ShowIcon
};

} // namespace fw
