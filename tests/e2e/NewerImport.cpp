// A program that imports a function newer than the oldest Windows that Brindle supports
// (GetTickCount64, Windows Vista), for the test that the import check refuses it by name.
#include <windows.h>

extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return GetTickCount64() == 0;
}
