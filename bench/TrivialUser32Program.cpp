// A second baseline of a start: like the trivial program, but it imports user32.dll, as every
// program with a window must, so that its start pays for loading the windowing system.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Never true; the call only makes user32.dll an import that the loader must load.
    if (GetTickCount() == 0)
        MessageBeep(MB_OK);
    return 0;
}
