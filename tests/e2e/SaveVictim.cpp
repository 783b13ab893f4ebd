// A program that does nothing but save the viewer list, to be killed in the middle of a save:
//   save_victim.exe PRODUCT OLD-TITLE NEW-TITLE
// It loads the list stored under HKCU\Software\Copperfinch\PRODUCT, sets the event
// "BrindleSaveVictimSaving" and then saves, for ever and by turns, that list reversed with the
// entry OLD-TITLE renamed NEW-TITLE, and the list as loaded. Its test ends it with
// TerminateProcess at some point of a save.

#include <windows.h>

#include <cstdlib>

#include "store/ViewerStore.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 4)
        return 2;
    ViewerStore store(__argv[1]);
    const std::vector<ViewerEntry> loaded = store.Load();
    std::vector<ViewerEntry> changed(loaded.rbegin(), loaded.rend());
    for (ViewerEntry& entry : changed) {
        if (entry.title == __argv[2])
            entry.title = __argv[3];
    }
    HANDLE saving = OpenEventA(EVENT_MODIFY_STATE, FALSE, "BrindleSaveVictimSaving");
    if (loaded.empty() || !saving)
        return 3;
    SetEvent(saving);
    for (;;) {
        store.Save(changed);
        store.Save(loaded);
    }
}
