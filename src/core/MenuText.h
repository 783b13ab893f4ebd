#pragma once
// The text of a menu item that shows a title exactly as the user typed it.

#include <string>
#include <string_view>

// `title` with every '&' doubled, so that a menu shows it as typed instead of taking the next
// character for a mnemonic. ('&' is never the second byte of a double-byte character.)
std::string MenuItemText(std::string_view title);
