#pragma once
// The row that a list's type-ahead goes to when the user types the first letters of a title, as
// the system's standard list view does it: the first row from `start` on (around the end when
// `wrap`) whose title starts with what was typed; and when none does and the user pressed one
// key repeatedly (`kk`), the next row after the `focused` one that starts with that letter, so
// that each press moves on to the next title with that letter.

#include <functional>
#include <string_view>

// `startsWith(row, text)` tells whether row's title starts with `text`, compared as the list
// compares (the caller's rule). −1 when no row fits.
int TypeAheadRow(int count, int start, int focused, std::wstring_view typed, bool wrap,
                 const std::function<bool(int row, std::wstring_view text)>& startsWith);
