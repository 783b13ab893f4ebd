#include "framework/App.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return fw::RunApplication(instance);
}
