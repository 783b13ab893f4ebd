#include "core/HandoffQueue.h"

#include <utility>

bool HandoffQueue::Arrive(std::wstring file) {
    // Behind a waiting hand-off too: the order of arrival is the order of the menus.
    if (!Busy() && waiting.empty())
        return true;
    waiting.push_back(std::move(file));
    return false;
}

std::optional<std::wstring> HandoffQueue::NextTurn() {
    if (Busy() || waiting.empty())
        return std::nullopt;
    std::wstring file = std::move(waiting.front());
    waiting.pop_front();
    return file;
}

void HandoffQueue::Choose(std::wstring title, std::wstring file) {
    chosen.push_back({std::move(title), std::move(file)});
}

std::optional<HandoffQueue::Choice> HandoffQueue::TakeChoice() {
    if (chosen.empty())
        return std::nullopt;
    Choice choice = std::move(chosen.front());
    chosen.pop_front();
    return choice;
}
