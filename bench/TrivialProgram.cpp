// The baseline of a start: a GUI-subsystem program that does nothing and returns at once.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
