#pragma once
// The hand-offs of the resident instance take turns. A hand-off opens a menu only when no
// menu is open and no launch waits for its viewer to become ready; one that arrives meanwhile
// waits, in order of arrival, and gets its own menu when its turn comes. The viewer chosen from a
// menu is bound to the file of the hand-off that opened it, so each launch gets its own file
// however the hand-offs overlap. Needs no window: the main dialog tells it what happens.

#include <deque>
#include <optional>
#include <string>

class HandoffQueue {
  public:
    // A viewer chosen from a menu and the file of the hand-off that opened that menu.
    struct Choice {
        std::wstring title;
        std::wstring file;
    };

    // A hand-off of `file` arrived. True when its menu may open now; otherwise it waits.
    bool Arrive(std::wstring file);

    // A menu opens or closes. While one is open every hand-off waits.
    void MenuOpened() { menuOpen = true; }
    void MenuClosed() { menuOpen = false; }
    bool MenuOpen() const { return menuOpen; }

    // A launch starts or ends waiting for its viewer. Meanwhile every hand-off waits.
    void LaunchStarted() { launching = true; }
    void LaunchEnded() { launching = false; }

    bool HasWaiting() const { return !waiting.empty(); }
    // The file of the longest-waiting hand-off, whose turn it is now; none while a menu is open
    // or a launch waits, or when none waits.
    std::optional<std::wstring> NextTurn();

    // The viewer `title` was chosen for `file`; its launch follows later.
    void Choose(std::wstring title, std::wstring file);
    // The oldest choice not yet launched, if any.
    std::optional<Choice> TakeChoice();

  private:
    bool Busy() const { return menuOpen || launching; }

    bool menuOpen = false;
    bool launching = false;
    std::deque<std::wstring> waiting;
    std::deque<Choice> chosen;
};
