#include "framework/Dialog.h"

#include "framework/AppContext.h"
#include "framework/Dpi.h"
#include "framework/Placement.h"
#include "platform/SystemFunctions.h"

namespace fw {

namespace {

// Registers the common controls' window classes (the list view among them) before the first
// template that may name one is loaded.
void RegisterCommonControls() {
    static bool registered = false;
    if (registered)
        return;
    if (auto* init = platform::initCommonControlsEx.Get()) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        registered = init(&controls) != FALSE;
    }
}

} // namespace

Dialog::Dialog(UINT templateId, Dialog* parent) : templateId(templateId), parent(parent) {}

Dialog::~Dialog() {
    if (hwnd) {
        // The derived parts are gone: no message may reach a handler any more.
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dialogManagerProc));
        DestroyWindow(hwnd);
    }
}

INT_PTR Dialog::DoModal() {
    HINSTANCE module = ResourceModule();
    // RT_DIALOG is an integer type, the same for the W call as for the A one.
    HRSRC resource =
        FindResourceW(module, MAKEINTRESOURCEW(templateId), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* dialogTemplate = loaded ? LockResource(loaded) : nullptr;
    if (!dialogTemplate)
        return -1;
    templateUnplaced = TemplateIsUnplaced(dialogTemplate);
    RegisterCommonControls();

    HWND owner = parent ? parent->Hwnd() : DefaultOwner();
    bool ownerDisabled = false;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }

    modal.Begin();
    // A Unicode window: the template's texts, and every text after them, whatever the ANSI
    // code page.
    HWND window = CreateDialogIndirectParamW(module, static_cast<LPCDLGTEMPLATEW>(dialogTemplate),
                                             owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (window && modal.Running())
        modal.Run();

    if (window)
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (ownerDisabled)
        EnableWindow(owner, TRUE);
    if (owner && window && GetActiveWindow() == window)
        SetActiveWindow(owner);
    if (window)
        DestroyWindow(window);
    // The window that showed them is gone.
    dpiFollower.Detach();
    return modal.Result();
}

void Dialog::EndDialog(int result) {
    modal.End(result);
}

bool Dialog::PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    return modal.PumpUntil(done, limitMs);
}

int Dialog::MessageBox(const std::wstring& text, const wchar_t* caption, UINT type) {
    return ::MessageBoxW(hwnd, text.c_str(), caption ? caption : DefaultCaption().c_str(), type);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != BN_CLICKED) // also the code of menu commands
        return FALSE;
    UINT id = LOWORD(wParam);
    if (const MessageEntry* entry = Find(MessageEntry::Kind::Command, WM_COMMAND, id, 0)) {
        entry->invoke(*this, wParam, lParam);
        return TRUE;
    }
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

LRESULT Dialog::Default() {
    return CallWindowProcW(dialogManagerProc, hwnd, current.message, current.wParam,
                           current.lParam);
}

const MessageEntry* Dialog::Find(MessageEntry::Kind kind, UINT message, UINT id, UINT code) const {
    for (const MessageEntry& entry : MessageTable())
        if (entry.kind == kind && entry.Handles(message) && entry.id == id && entry.code == code)
            return &entry;
    return nullptr;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    // Everything but the initialisation reaches the dialog through WindowProc, which the
    // initialisation installs; before it there is no dialog object to tell.
    if (message != WM_INITDIALOG)
        return FALSE;
    return reinterpret_cast<Dialog*>(lParam)->InitDialog(window);
}

BOOL Dialog::InitDialog(HWND window) {
    hwnd = window;
    dpiFollower.Attach(window);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
    dialogManagerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));

    bool wasVisible = GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE;
    RECT before{};
    GetWindowRect(window, &before);
    current = {WM_INITDIALOG, 0, 0};
    BOOL result = OnInitDialog();
    CentreIfUnplaced(hwnd, templateUnplaced, wasVisible, before);
    return result;
}

LRESULT CALLBACK Dialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self)
        return DefDlgProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC original = self->dialogManagerProc;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->hwnd = nullptr;
        return CallWindowProcW(original, window, message, wParam, lParam);
    }

    const bool showAsked = message == WM_WINDOWPOSCHANGING &&
                           (reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW);
    CurrentMessage outer = self->current;
    self->current = {message, wParam, lParam};
    const LRESULT result = self->Dispatch(message, wParam, lParam);
    if (message == dpiChangedMessage)
        self->dpiFollower.OnDpiChanged(LOWORD(wParam));
    self->current = outer;

    // A dialog that refused to be shown (it cleared SWP_SHOWWINDOW to stay hidden) is not
    // activated by that show either: keys would go to a window that nobody can see, and the
    // window in front would lose the focus.
    if (showAsked) {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_SHOWWINDOW) && !IsWindowVisible(window))
            position->flags |= SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER;
    }
    return result;
}

LRESULT Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam))
            return 0;
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (const MessageEntry* entry = Find(MessageEntry::Kind::Notify, WM_NOTIFY,
                                             static_cast<UINT>(header->idFrom), header->code))
            return entry->invoke(*this, wParam, lParam);
    } else if (const MessageEntry* entry = Find(MessageEntry::Kind::Message, message, 0, 0)) {
        return entry->invoke(*this, wParam, lParam);
    }
    return Default();
}

} // namespace fw
