#pragma once
// How a start with a mail file's name reaches the resident instance: the arguments, joined into
// the hand-off text, travel as the name of a global atom in WM_HANDOFF.

#include <windows.h>
#include <string>
#include <vector>

// wParam: a global atom whose name is the hand-off text (0: none); lParam: 0. The receiver
// reads and deletes the atom.
constexpr UINT WM_HANDOFF = WM_USER + 101;

// The title by which a later start finds the resident instance's main dialog.
constexpr const char* mainWindowTitle = "Brindle Launcher";

// Whether `byte` starts a double-byte character of the ANSI code page.
bool IsAnsiLeadByte(unsigned char byte);

// This process's arguments after the program name, split by the classic rules with the double-
// byte characters of the ANSI code page taken whole.
std::vector<std::string> CommandLineArguments();

// The resident instance's main dialog: a dialog window titled "Brindle Launcher", so that
// another program's window of that title is never taken for it. Null when none runs.
HWND FindResidentInstance();

// Adds `text` as a global atom for a hand-off. A text longer than an atom name may be, or one
// the atom table refuses, is not handed over: the user is told and 0 is returned.
ATOM AddHandoffAtom(const std::string& text);
