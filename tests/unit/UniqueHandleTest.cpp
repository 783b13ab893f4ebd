#include "core/UniqueHandle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Handles are numbers; closing one records it.
struct RecordedTraits {
    using Type = int;
    static inline std::vector<int> closed;
    static void Close(int handle) { closed.push_back(handle); }
};
using Owner = UniqueHandle<RecordedTraits>;

// Each handle is closed exactly once, by whichever owner holds it last, and never one that was
// given up.
TEST(UniqueHandle, ClosesEachHandleOnceByItsLastOwner) {
    RecordedTraits::closed.clear();
    {
        Owner first(1);
        first.Reset(2); // closes 1
        Owner moved(std::move(first));
        EXPECT_FALSE(first);
        Owner target(3);
        target = std::move(moved); // closes the target's own 3
        EXPECT_EQ(2, target.Get());
        Owner released(4);
        EXPECT_EQ(4, released.Release());
        EXPECT_FALSE(released);
        EXPECT_EQ((std::vector<int>{1, 3}), RecordedTraits::closed);
    } // closes 2 only
    EXPECT_EQ((std::vector<int>{1, 3, 2}), RecordedTraits::closed);
}

} // namespace
