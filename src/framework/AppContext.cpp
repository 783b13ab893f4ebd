#include "framework/AppContext.h"

#include "platform/AnsiText.h"

namespace fw {

namespace {
AppContext* currentContext = nullptr;
}

AppContext::AppContext() {
    currentContext = this;
}

AppContext::~AppContext() {
    if (currentContext == this)
        currentContext = nullptr;
}

AppContext* AppContext::Current() {
    return currentContext;
}

HINSTANCE ResourceModule() {
    return currentContext ? currentContext->Module() : GetModuleHandleW(nullptr);
}

std::wstring DefaultCaption() {
    return currentContext ? platform::WideFromAnsi(currentContext->Name()) : std::wstring();
}

std::wstring LoadText(UINT id) {
    // Given no buffer, the call points into the resources' own UTF-16 text.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

HWND DefaultOwner() {
    HWND main = currentContext ? currentContext->MainWindowHandle() : nullptr;
    return main ? GetLastActivePopup(main) : nullptr;
}

int AppMessageBox(const std::wstring& text, UINT type, const wchar_t* caption) {
    return MessageBoxW(DefaultOwner(), text.c_str(), caption ? caption : DefaultCaption().c_str(),
                       type);
}

} // namespace fw
