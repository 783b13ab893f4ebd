#include "core/HandoffQueue.h"

#include <gtest/gtest.h>

namespace {

TEST(HandoffQueue, HandoffsWaitWhileAMenuIsOpenAndTakeTurnsInOrder) {
    HandoffQueue queue;
    EXPECT_TRUE(queue.Arrive("a"));
    queue.MenuOpened();
    EXPECT_FALSE(queue.Arrive("b"));
    EXPECT_FALSE(queue.Arrive("c"));
    EXPECT_FALSE(queue.NextTurn()) << "no turn while the menu is open";
    queue.MenuClosed();

    // A newcomer waits behind those already waiting, even with no menu open.
    EXPECT_FALSE(queue.Arrive("d"));
    for (const char* file : {"b", "c", "d"}) {
        ASSERT_TRUE(queue.HasWaiting());
        EXPECT_EQ(file, queue.NextTurn());
    }
    EXPECT_FALSE(queue.HasWaiting());
    EXPECT_FALSE(queue.NextTurn());
    EXPECT_TRUE(queue.Arrive("e"));

    // A launch that waits for its viewer holds the turns as a menu does.
    queue.LaunchStarted();
    EXPECT_FALSE(queue.Arrive("f"));
    EXPECT_FALSE(queue.NextTurn());
    queue.LaunchEnded();
    EXPECT_EQ("f", queue.NextTurn());
}

TEST(HandoffQueue, EachChoiceKeepsTheFileOfItsOwnMenu) {
    HandoffQueue queue;
    queue.Choose("Text", "first.txt ");
    queue.Choose("Hex", "second.txt ");
    auto first = queue.TakeChoice();
    auto second = queue.TakeChoice();
    ASSERT_TRUE(first && second);
    EXPECT_EQ("Text", first->title);
    EXPECT_EQ("first.txt ", first->file);
    EXPECT_EQ("Hex", second->title);
    EXPECT_EQ("second.txt ", second->file);
    EXPECT_FALSE(queue.TakeChoice());
}

} // namespace
