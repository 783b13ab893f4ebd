#pragma once
// The text of a menu item that shows a title exactly as the user typed it.

#include <string>
#include <string_view>

// `title` with every '&' doubled, so that a menu shows it as typed instead of taking the next
// character for a mnemonic, and every tab or backspace shown as a space, since a menu takes
// either for the start of the shortcut column. With `number` from 1 to 9 the number follows
// in that column ("title\t1"), as the key that chooses the item.
std::wstring MenuItemText(std::wstring_view title, int number = 0);
