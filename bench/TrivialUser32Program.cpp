// The reference of a start: a GUI program that imports user32.dll, as every program with a
// window must, and returns at once. What it takes is the part of a hand-off that is the start
// of a process.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Never true; the call only makes user32.dll an import that the loader must load.
    if (GetTickCount() == 0)
        MessageBeep(MB_OK);
    return 0;
}
