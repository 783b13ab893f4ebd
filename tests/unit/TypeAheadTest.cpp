#include "core/TypeAhead.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::wstring> titles = {L"kviewer-0001", L"Hex", L"kviewer-0002", L"kiosk",
                                          L"Text"};

int Row(int start, int focused, std::wstring_view typed, bool wrap = true) {
    return TypeAheadRow(static_cast<int>(titles.size()), start, focused, typed, wrap,
                        [](int row, std::wstring_view text) {
                            return titles[static_cast<size_t>(row)].compare(0, text.size(), text) ==
                                   0;
                        });
}

TEST(TypeAhead, FindsTheTypedBeginningAndMovesOnWhenOneKeyIsRepeated) {
    EXPECT_EQ(2, Row(1, 0, L"k")) << "the next title with that letter";
    EXPECT_EQ(0, Row(4, 3, L"k")) << "around the end";
    EXPECT_EQ(-1, Row(4, 3, L"k", false)) << "not around the end unless asked";
    EXPECT_EQ(3, Row(0, 0, L"ki")) << "the typed beginning, from the start row";
    EXPECT_EQ(2, Row(0, 0, L"kk")) << "k pressed twice goes on from the focused row";
    EXPECT_EQ(3, Row(2, 2, L"kkk"));
    EXPECT_EQ(-1, Row(0, 0, L"kx")) << "two different keys: only the whole beginning";
    EXPECT_EQ(-1, Row(0, 0, L"z"));
}

} // namespace
