// The viewer that the benchmark's menus launch: it says that it runs (the named event of
// FloorProgram.h) and ends.

#include <windows.h>

#include "FloorProgram.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HANDLE ran = OpenEventA(EVENT_MODIFY_STATE, FALSE, viewerRanEventName);
    if (!ran)
        return 1;
    SetEvent(ran);
    CloseHandle(ran);
    return 0;
}
