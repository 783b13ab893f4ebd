#include "framework/App.h"

#include "framework/Dialog.h"
#include "platform/AnsiText.h"

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

int RunApplication(HINSTANCE module) {
    App* app = currentApp;
    if (!app)
        return 1;
    app->module = module;
    return app->InitInstance();
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

int AppMessageBox(const std::wstring& text, UINT type) {
    return MessageBoxW(DefaultOwner(), text.c_str(),
                       platform::WideFromAnsi(DefaultCaption()).c_str(), type);
}

} // namespace fw
