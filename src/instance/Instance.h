#pragma once
// How a start with a mail file's name reaches the resident instance: this process's arguments,
// joined into the hand-off text, travel as the name of a global atom in WM_HANDOFF.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "instance/Identity.h"

// This process's arguments after the program name, as the system passed them in UTF-16, split
// by the classic rules.
std::vector<std::wstring> StartArguments();

// The resident instance's main dialog: a dialog window titled BRINDLE_MAIN_WINDOW_TITLE, so that
// another program's window of that title is never taken for it. Null when none runs.
HWND FindResidentInstance();

// Adds `text` as a global atom for a hand-off. A text that does not fit (FitsHandoff: 255
// characters, counted as bytes of the ANSI code page, which an earlier ANSI version reads), or
// one the atom table refuses, is not handed over: the user is told and 0 is returned. The atom's
// name is UTF-16; an ANSI reader gets it in its code page, as if it had been added in that.
ATOM AddHandoffAtom(const std::wstring& text);
// Deletes the hand-off atom `atom` of `text` that did not reach the resident, unless the
// resident took it already: the number may then name another program's atom.
void DropHandoffAtom(ATOM atom, const std::wstring& text);

// How a hand-off went.
enum class HandOverResult {
    Done,         // its menu has closed
    ResidentGone, // the resident ended before the hand-off's menu closed
    ResidentHung, // the resident stayed unable to answer for several seconds in a row
};

// Sends the hand-off `atom` to `resident` and returns once its menu has closed, however long it
// waits for its turn behind other menus while the resident answers.
HandOverResult HandOver(HWND resident, ATOM atom);

// Tells the start of process `startProcess` (the lParam of its WM_HANDOFF) that its hand-off of
// `atom` has had its menu. Nothing for 0, or for a start that is gone.
void ReportHandoffDone(DWORD startProcess, ATOM atom);

// The text that `atom` hands over, in UTF-16 whichever version added it; the atom is deleted (a
// failure to delete it is shown). None when `atom` is 0 or names nothing, so nothing was handed
// over.
std::optional<std::wstring> TakeHandoffAtom(ATOM atom);
