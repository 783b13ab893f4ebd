#include "core/TypeAhead.h"

#include <algorithm>

namespace {

int FirstFrom(int count, int start, bool wrap, std::wstring_view text,
              const std::function<bool(int, std::wstring_view)>& startsWith) {
    start = std::clamp(start, 0, count - 1);
    const int tries = wrap ? count : count - start;
    for (int i = 0; i < tries; ++i) {
        const int row = (start + i) % count;
        if (startsWith(row, text))
            return row;
    }
    return -1;
}

} // namespace

int TypeAheadRow(int count, int start, int focused, std::wstring_view typed, bool wrap,
                 const std::function<bool(int row, std::wstring_view text)>& startsWith) {
    if (count <= 0 || typed.empty())
        return -1;
    if (const int row = FirstFrom(count, start, wrap, typed, startsWith); row >= 0)
        return row;
    const bool oneKeyRepeated =
        std::all_of(typed.begin(), typed.end(), [&](wchar_t key) { return key == typed.front(); });
    if (typed.size() < 2 || !oneKeyRepeated)
        return -1;
    return FirstFrom(count, focused + 1 < count ? focused + 1 : 0, true, typed.substr(0, 1),
                     startsWith);
}
