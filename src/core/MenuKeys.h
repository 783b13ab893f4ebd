#pragma once
// What a key typed in the viewer menu does. The items carry no mnemonics (their titles are
// shown as typed), so every key reaches the menu's owner: the number keys 1 to 9 choose one of
// the first nine items, and a letter highlights the next item whose title starts with it.

#include <cstddef>
#include <span>
#include <string>

// How many items have a number key: 1 to 9.
constexpr std::size_t numberedItems = 9;

struct MenuKeyAction {
    enum class Kind { None, Choose, Highlight };
    Kind kind = Kind::None;
    std::size_t item = 0; // Choose and Highlight: the item's index
};

// What typing `key` (a character code as the menu reports it) does in a menu of `titles` whose
// item `highlighted` is highlighted (−1 for none):
// - '1' to '9' choose item key − '1', when the menu has it;
// - an ASCII letter highlights the first item after the highlighted one, wrapping round to the
//   first item and ending with the highlighted one itself, whose title's first character is that
//   letter in either case. A title that starts with any other character never matches, nor
//   does a key code above 0x7F;
// - anything else does nothing (Kind::None), as does a letter that no title starts with.
MenuKeyAction MenuKeyActionOf(unsigned key, std::span<const std::wstring> titles, int highlighted);
