#include "core/HandoffQueue.h"

#include <gtest/gtest.h>

namespace {

TEST(HandoffQueue, HandoffsWaitWhileAMenuIsOpenAndTakeTurnsInOrder) {
    HandoffQueue queue;
    EXPECT_TRUE(queue.Arrive({L"a", 1}));
    queue.MenuOpened();
    EXPECT_FALSE(queue.Arrive({L"b", 2}));
    EXPECT_FALSE(queue.Arrive({L"c", 0}));
    EXPECT_FALSE(queue.NextTurn()) << "no turn while the menu is open";
    queue.MenuClosed();

    // A newcomer waits behind those already waiting, even with no menu open; each keeps the
    // start that waits for it.
    EXPECT_FALSE(queue.Arrive({L"d", 4}));
    for (const auto& [file, waiter] : {std::pair{L"b", 2}, {L"c", 0}, {L"d", 4}}) {
        ASSERT_TRUE(queue.HasWaiting());
        const auto next = queue.NextTurn();
        ASSERT_TRUE(next);
        EXPECT_EQ(file, next->file);
        EXPECT_EQ(static_cast<HandoffQueue::Waiter>(waiter), next->waiter);
    }
    EXPECT_FALSE(queue.HasWaiting());
    EXPECT_FALSE(queue.NextTurn());
    EXPECT_TRUE(queue.Arrive({L"e", 0}));
}

// A hand-off that arrives between a menu's choice and the end of its launch waits: its menu
// would otherwise open first, and the launch would run inside that menu's loop.
TEST(HandoffQueue, AChoiceHoldsTheTurnsUntilItsLaunchHasEnded) {
    HandoffQueue queue;
    ASSERT_TRUE(queue.Arrive({L"first.txt ", 0}));
    queue.MenuOpened();
    queue.Choose(L"Text", L"first.txt ");
    queue.MenuClosed();
    EXPECT_FALSE(queue.Arrive({L"second.txt ", 7}));
    EXPECT_FALSE(queue.NextTurn());

    const auto choice = queue.TakeChoice();
    ASSERT_TRUE(choice);
    EXPECT_EQ(L"Text", choice->title);
    EXPECT_EQ(L"first.txt ", choice->file);
    EXPECT_FALSE(queue.TakeChoice()) << "a choice is launched once";
    EXPECT_FALSE(queue.NextTurn()) << "no turn while the launch waits for its viewer";
    queue.LaunchEnded();
    const auto next = queue.NextTurn();
    ASSERT_TRUE(next);
    EXPECT_EQ(L"second.txt ", next->file);
    EXPECT_EQ(7u, next->waiter);
}

} // namespace
