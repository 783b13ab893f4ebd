#include "core/HandoffQueue.h"

#include <gtest/gtest.h>

namespace {

TEST(HandoffQueue, HandoffsWaitWhileAMenuIsOpenAndTakeTurnsInOrder) {
    HandoffQueue queue;
    EXPECT_TRUE(queue.Arrive(L"a"));
    queue.MenuOpened();
    EXPECT_FALSE(queue.Arrive(L"b"));
    EXPECT_FALSE(queue.Arrive(L"c"));
    EXPECT_FALSE(queue.NextTurn()) << L"no turn while the menu is open";
    queue.MenuClosed();

    // A newcomer waits behind those already waiting, even with no menu open.
    EXPECT_FALSE(queue.Arrive(L"d"));
    for (const wchar_t* file : {L"b", L"c", L"d"}) {
        ASSERT_TRUE(queue.HasWaiting());
        EXPECT_EQ(file, queue.NextTurn());
    }
    EXPECT_FALSE(queue.HasWaiting());
    EXPECT_FALSE(queue.NextTurn());
    EXPECT_TRUE(queue.Arrive(L"e"));

    // A launch that waits for its viewer holds the turns as a menu does.
    queue.LaunchStarted();
    EXPECT_FALSE(queue.Arrive(L"f"));
    EXPECT_FALSE(queue.NextTurn());
    queue.LaunchEnded();
    EXPECT_EQ(L"f", queue.NextTurn());
}

TEST(HandoffQueue, EachChoiceKeepsTheFileOfItsOwnMenu) {
    HandoffQueue queue;
    queue.Choose(L"Text", L"first.txt ");
    queue.Choose(L"Hex", L"second.txt ");
    auto first = queue.TakeChoice();
    auto second = queue.TakeChoice();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(L"Text", first->title);
    EXPECT_EQ(L"first.txt ", first->file);
    EXPECT_EQ(L"Hex", second->title);
    EXPECT_EQ(L"second.txt ", second->file);
    EXPECT_FALSE(queue.TakeChoice());
}

} // namespace
