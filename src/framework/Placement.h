#pragma once
// Where a dialog opens: one that its template and its initialisation leave unplaced is centred
// over its owner or in the work area.

#include <windows.h>

namespace fw {

// True when the template asks the framework to place the dialog: it sits at (0, 0) and does
// not ask the dialog manager to align or centre it.
bool TemplateIsUnplaced(const void* dialogTemplate);

// Called after the initialisation of dialog `hwnd`, with whether it was visible before it and
// its window rectangle then: centres the dialog when it is still hidden, did not move, has no
// enabled owner and its template is unplaced (`templateUnplaced`).
void CentreIfUnplaced(HWND hwnd, bool templateUnplaced, bool wasVisible, const RECT& before);

} // namespace fw
