#include "framework/App.h"

#include "framework/Dialog.h"

namespace fw {

namespace {
App* currentApp = nullptr;
}

App::App(const char* name) : name(name), module(GetModuleHandleA(nullptr)) {
    currentApp = this;
}

App::~App() {
    if (currentApp == this)
        currentApp = nullptr;
}

App* App::Current() {
    return currentApp;
}

int App::Run() {
    // Unicode, as the dialogs' modal loop (see Dialog::RunModalLoop): typed double-byte
    // characters reach the windows whole.
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunApplication(HINSTANCE module) {
    App* app = currentApp;
    if (!app)
        return 1;
    app->module = module;
    if (!app->InitInstance())
        return 0;
    return app->Run();
}

HINSTANCE ResourceModule() {
    return currentApp ? currentApp->Module() : GetModuleHandleA(nullptr);
}

const char* DefaultCaption() {
    return currentApp ? currentApp->Name() : "";
}

HWND DefaultOwner() {
    if (!currentApp || !currentApp->MainWindow())
        return nullptr;
    HWND main = currentApp->MainWindow()->Hwnd();
    return main ? GetLastActivePopup(main) : nullptr;
}

int AppMessageBox(const char* text, UINT type, const char* caption) {
    return MessageBoxA(DefaultOwner(), text, caption ? caption : DefaultCaption(), type);
}

} // namespace fw
