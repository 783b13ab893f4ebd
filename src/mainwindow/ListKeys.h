#pragma once
// Keys of the main dialog's list of viewers that do what its buttons do: Enter edits the
// selected viewer, Delete deletes it (asking first, as the button does), Insert adds one, and
// Alt+Up and Alt+Down move it.

#include <windows.h>

// Makes `list` turn those keys into clicks of the buttons of its dialog. Enter, which the
// dialog manager would take for the default button, is the list's while it has the focus.
void RouteListKeys(HWND list);
