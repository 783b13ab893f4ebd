#include "framework/App.h"

#include "framework/Dialog.h"
#include "platform/AnsiText.h"

namespace fw {

namespace {
App* currentApp = nullptr;
}

App::App(const char* name) : name(name), module(GetModuleHandleW(nullptr)) {
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
    return currentApp ? currentApp->Module() : GetModuleHandleW(nullptr);
}

std::wstring DefaultCaption() {
    return currentApp ? platform::WideFromAnsi(currentApp->Name()) : std::wstring();
}

std::wstring LoadText(UINT id) {
    // Given no buffer, the call points into the resources' own UTF-16 text.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

HWND DefaultOwner() {
    if (!currentApp || !currentApp->MainWindow())
        return nullptr;
    HWND main = currentApp->MainWindow()->Hwnd();
    return main ? GetLastActivePopup(main) : nullptr;
}

int AppMessageBox(const std::wstring& text, UINT type, const wchar_t* caption) {
    return MessageBoxW(DefaultOwner(), text.c_str(), caption ? caption : DefaultCaption().c_str(),
                       type);
}

} // namespace fw
