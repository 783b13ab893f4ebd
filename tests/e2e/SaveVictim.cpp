// A program that does nothing but make the list window's edits, to be killed in the middle of
// one:
//   save_victim.exe PRODUCT OLD-TITLE NEW-TITLE
// It reads viewer OLD-TITLE stored under HKCU\Software\Copperfinch\PRODUCT, sets the event
// "BrindleSaveVictimSaving" and then, for ever: renames OLD-TITLE to NEW-TITLE, moves it one
// place up and renames it back. Its test ends it with TerminateProcess at some point of an edit.

#include <windows.h>
#include <shellapi.h>

#include <optional>

#include "store/ViewerStore.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count != 4)
        return 2;
    ViewerStore store(arguments[1]);
    const std::optional<ViewerEntry> before = store.Read(arguments[2]);
    HANDLE saving = OpenEventA(EVENT_MODIFY_STATE, FALSE, "BrindleSaveVictimSaving");
    if (!before || !saving)
        return 3;
    ViewerEntry after = *before;
    after.title = arguments[3];
    SetEvent(saving);
    for (;;) {
        store.Update(before->title, after);
        store.Move(after.title, -1);
        store.Update(after.title, *before);
    }
}
