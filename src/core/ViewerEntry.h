#pragma once
// One configured viewer: its title (the name of its key in the store, shown in the menu and the
// list), the command that starts its program and the parameters put between the command and
// the quoted file name. UTF-16, as the registry holds them.

#include <string>

struct ViewerEntry {
    std::wstring title;
    std::wstring command;
    std::wstring parameters;
};
