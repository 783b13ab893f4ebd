#include "core/HandoffQueue.h"

#include <utility>

bool HandoffQueue::Arrive(Handoff handoff) {
    // Behind a waiting hand-off too: the order of arrival is the order of the menus.
    if (!Busy() && waiting.empty())
        return true;
    waiting.push_back(std::move(handoff));
    return false;
}

std::optional<HandoffQueue::Handoff> HandoffQueue::NextTurn() {
    if (Busy() || waiting.empty())
        return std::nullopt;
    Handoff next = std::move(waiting.front());
    waiting.pop_front();
    return next;
}

void HandoffQueue::Choose(std::wstring title, std::wstring file) {
    chosen = Choice{std::move(title), std::move(file)};
}

std::optional<HandoffQueue::Choice> HandoffQueue::TakeChoice() {
    std::optional<Choice> choice = std::exchange(chosen, std::nullopt);
    if (choice)
        launching = true;
    return choice;
}
