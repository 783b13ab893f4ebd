// A program that does nothing but save the viewer list, to be killed in the middle of a save:
//   save_victim.exe PRODUCT OLD-TITLE NEW-TITLE
// It loads the list stored under HKCU\Software\Copperfinch\PRODUCT, sets the event
// "BrindleSaveVictimSaving" and then, for ever and by turns: makes the list window's edits of
// a rename, renaming OLD-TITLE to NEW-TITLE, moving it one place up and renaming it back; then
// saves the whole list reversed with the entry OLD-TITLE renamed NEW-TITLE, and the list as loaded.
// Its test ends it with TerminateProcess at some point of a save or an edit.

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/ViewerStore.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count != 4)
        return 2;
    ViewerStore store(arguments[1]);
    const std::vector<ViewerEntry> loaded = store.Load();
    std::vector<ViewerEntry> changed(loaded.rbegin(), loaded.rend());
    ViewerEntry before{};
    for (ViewerEntry& entry : changed) {
        if (entry.title == arguments[2]) {
            before = entry;
            entry.title = arguments[3];
        }
    }
    ViewerEntry after = before;
    after.title = arguments[3];
    HANDLE saving = OpenEventA(EVENT_MODIFY_STATE, FALSE, "BrindleSaveVictimSaving");
    if (loaded.empty() || before.title.empty() || !saving)
        return 3;
    SetEvent(saving);
    for (;;) {
        store.Update(before.title, after);
        store.Move(after.title, -1);
        store.Update(after.title, before);
        store.Save(changed);
        store.Save(loaded);
    }
}
