#pragma once
// The pop-up menu of viewers for one hand-off, and the launch of the viewer chosen from it.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Controls.h"

// Command id of the first viewer in the pop-up menu; viewer i has ID_VIEWER_BASE + i.
constexpr UINT ID_VIEWER_BASE = 3400;
// The last command id a viewer may have: command ids are 16 bits.
constexpr UINT ID_VIEWER_LAST = 0xEFFF;

// One item for each title, in the order given, showing the title exactly as it is.
class ViewerMenu {
  public:
    explicit ViewerMenu(std::vector<std::string> titles);
    HMENU Handle() const { return menu.Handle(); }
    // The title of the item with command `id`; null for an id of no item of this menu.
    const std::string* TitleOf(UINT id) const;

  private:
    fw::PopupMenu menu;
    std::vector<std::string> titles;
};

// Waits until a started viewer's process is ready for input, or gives up.
using ReadyWait = std::function<void(HANDLE process)>;

// Starts viewer `title` for `file` with the values the store holds now, then lets
// `waitUntilReady` wait for it. A viewer that no longer exists starts nothing; a launch line
// that would be too long, and a program that cannot be started, are told to the user.
void LaunchViewer(const std::string& title, const std::string& file,
                  const ReadyWait& waitUntilReady);
