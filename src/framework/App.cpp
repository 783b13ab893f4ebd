#include "framework/App.h"

#include "framework/Dialog.h"

namespace fw {

App::App(const char* name) : name(name), module(GetModuleHandleW(nullptr)) {}

HWND App::MainWindowHandle() const {
    return mainWindow ? mainWindow->Hwnd() : nullptr;
}

int RunApplication(HINSTANCE module) {
    App* app = App::Current();
    if (!app)
        return 1;
    app->module = module;
    return app->InitInstance();
}

} // namespace fw
