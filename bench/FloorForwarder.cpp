// The floor of a hand-off: what any start that hands a file to a resident window must do, and
// nothing else. It finds the floor resident's window, puts the file name in a global atom and
// sends it over; the send returns once the resident's menu has closed.
//   bench_floor_forwarder.exe FILE

#include <windows.h>

#include "FloorProgram.h"
#include "instance/Identity.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR file, int) {
    HWND resident = FindWindowA("#32770", floorWindowTitle);
    if (!resident)
        return 1;
    const ATOM atom = GlobalAddAtomA(file); // a name over 255 characters is refused
    if (!atom)
        return 1;
    SendMessageA(resident, WM_HANDOFF, atom, 0);
    return 0;
}
