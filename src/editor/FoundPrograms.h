#pragma once
// The programs already on the machine that a user may want as viewers: those that Windows opens
// the kinds of files a mail viewer is for with (text, mail, web pages, XML, PDF), as the shell's
// file associations name them.

#include <string>
#include <vector>

struct FoundProgram {
    std::wstring command; // the program's path as a viewer's command: quoted when it has a space
    std::wstring name;    // the program's friendly name, cut to what a title holds
};

// Each program once, in the order of the kinds of files; none that is missing, and none whose
// command the launch could not start (too long). Empty where the system names none.
std::vector<FoundProgram> FoundPrograms();
