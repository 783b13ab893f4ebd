#pragma once
// The hand-offs of the resident instance take turns. A hand-off opens its menu only when the
// resident is idle: no menu open, no chosen viewer waiting to be launched, no launch waiting
// for its viewer to become ready. One that arrives meanwhile waits, in order of arrival, and
// gets its own menu when its turn comes. The viewer chosen from a menu is bound to the file of
// the hand-off that opened it, so each launch gets its own file however the hand-offs overlap.
// Needs no window: the main dialog tells it what happens.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

class HandoffQueue {
  public:
    // Whom to tell when a waiting hand-off's menu has closed (the start that handed it over, as
    // the main dialog names it); 0: nobody.
    using Waiter = std::uint64_t;

    struct Handoff {
        std::wstring file;
        Waiter waiter = 0;
    };

    // A viewer chosen from a menu and the file of the hand-off that opened that menu.
    struct Choice {
        std::wstring title;
        std::wstring file;
    };

    // A hand-off arrived. True when its menu may open now; otherwise it waits for its turn.
    bool Arrive(Handoff handoff);

    // A menu opens or closes.
    void MenuOpened() { menuOpen = true; }
    void MenuClosed() { menuOpen = false; }
    bool MenuOpen() const { return menuOpen; }

    // The viewer `title` was chosen for `file` from the menu that just closed. Until its launch
    // has ended, every hand-off waits: its menu would otherwise open before the launch, which
    // would then run inside that menu's loop.
    void Choose(std::wstring title, std::wstring file);
    // The choice whose launch begins now, if there is one; LaunchEnded follows when it is.
    std::optional<Choice> TakeChoice();
    void LaunchEnded() { launching = false; }

    bool HasWaiting() const { return !waiting.empty(); }
    // The longest-waiting hand-off, whose turn it is now; none while the resident is busy, or
    // when none waits.
    std::optional<Handoff> NextTurn();

  private:
    bool Busy() const { return menuOpen || chosen || launching; }

    bool menuOpen = false;
    bool launching = false;
    std::optional<Choice> chosen;
    std::deque<Handoff> waiting;
};
