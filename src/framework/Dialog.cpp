#include "framework/Dialog.h"

#include <algorithm>

#include "framework/AppContext.h"
#include "framework/Dpi.h"
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

// A dialog whose template asks to be centred (DS_CENTER) opens over its owner when the user
// sees the owner, inside the work area of the owner's monitor, where the left and top edges win
// over the right and bottom ones. Otherwise the dialog manager has centred it in the work area.
void CentreOverShownOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!(GetWindowLongW(dialog, GWL_STYLE) & DS_CENTER) || !owner || !IsWindowVisible(owner) ||
        IsIconic(owner))
        return;
    RECT over{}, placed{};
    GetWindowRect(owner, &over);
    GetWindowRect(dialog, &placed);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcWork;
    const LONG width = placed.right - placed.left;
    const LONG height = placed.bottom - placed.top;
    const LONG left = (over.left + over.right) / 2 - width / 2;
    const LONG top = (over.top + over.bottom) / 2 - height / 2;
    SetWindowPos(dialog, nullptr, std::max(area.left, std::min(left, area.right - width)),
                 std::max(area.top, std::min(top, area.bottom - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Messages whose result a dialog procedure returns itself; of every other message, the result
// is the window's DWLP_MSGRESULT.
bool ResultIsReturned(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
           message == WM_QUERYDRAGICON;
}

} // namespace

Dialog::Dialog(UINT templateId, Dialog* parent) : templateId(templateId), parent(parent) {}

Dialog::~Dialog() {
    if (hwnd) {
        // The derived parts are gone: no message may reach a handler any more.
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        DestroyWindow(hwnd);
    }
}

LPCDLGTEMPLATEW Dialog::LoadTemplate() const {
    HINSTANCE module = ResourceModule();
    // RT_DIALOG is an integer type, the same for the W call as for the A one.
    HRSRC resource =
        FindResourceW(module, MAKEINTRESOURCEW(templateId), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    return static_cast<LPCDLGTEMPLATEW>(loaded ? LockResource(loaded) : nullptr);
}

HWND Dialog::Owner() const {
    return parent ? parent->Hwnd() : DefaultOwner();
}

// Both runs make a Unicode window: the template's texts, and every text after them, whatever
// the ANSI code page.
INT_PTR Dialog::DoModal() {
    LPCDLGTEMPLATEW dialogTemplate = LoadTemplate();
    if (!dialogTemplate)
        return -1;
    RegisterCommonControls();
    modal = true;
    pump.Resume();
    const INT_PTR result = DialogBoxIndirectParamW(ResourceModule(), dialogTemplate, Owner(),
                                                   DialogProc, reinterpret_cast<LPARAM>(this));
    // The window that showed them is gone.
    dpiFollower.Detach();
    return result;
}

INT_PTR Dialog::RunModeless() {
    LPCDLGTEMPLATEW dialogTemplate = LoadTemplate();
    if (!dialogTemplate)
        return -1;
    RegisterCommonControls();
    modal = false;
    endResult = -1;
    pump.Resume();
    HWND window = CreateDialogIndirectParamW(ResourceModule(), dialogTemplate, Owner(), DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (!window)
        return -1;
    pump.RunUntil([] { return false; });
    if (hwnd)
        DestroyWindow(hwnd);
    dpiFollower.Detach();
    return endResult;
}

void Dialog::EndDialog(int result) {
    pump.Stop();
    if (modal)
        ::EndDialog(hwnd, result);
    else
        endResult = result;
}

bool Dialog::PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    bool held = false;
    pump.RunUntil([&] { return (held = done()); }, limitMs, 50);
    return held;
}

int Dialog::MessageBox(const std::wstring& text, const wchar_t* caption, UINT type) {
    return ::MessageBoxW(hwnd, text.c_str(), caption ? caption : DefaultCaption().c_str(), type);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    // A click (BN_CLICKED), a menu's command (0 as well) or an accelerator key's (1, from no
    // control).
    const UINT code = HIWORD(wParam);
    if (code != BN_CLICKED && !(code == 1 && lParam == 0))
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

const MessageEntry* Dialog::Find(MessageEntry::Kind kind, UINT message, UINT id, UINT code) const {
    for (const MessageEntry& entry : MessageTable())
        if (entry.kind == kind && entry.Handles(message) && entry.id == id && entry.code == code)
            return &entry;
    return nullptr;
}

// Brindle's code is built without exceptions and without unwind tables (src/CMakeLists.txt):
// nothing unwinds from here into the system's frames.
INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return reinterpret_cast<Dialog*>(lParam)->InitDialog(window);
    }
    // Before the initialisation there is no dialog object to tell.
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->hwnd = nullptr;
        self->pump.Stop();
        return FALSE;
    }

    const bool showAsked = message == WM_WINDOWPOSCHANGING &&
                           (reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW);
    LRESULT result = 0;
    const bool handled = self->Dispatch(message, wParam, lParam, result);
    if (message == dpiChangedMessage)
        self->dpiFollower.OnDpiChanged(LOWORD(wParam));
    // A dialog that refused to be shown (it cleared SWP_SHOWWINDOW to stay hidden) is not
    // activated by that show either: keys would go to a window that nobody can see, and the
    // window in front would lose the focus.
    if (showAsked) {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_SHOWWINDOW) && !IsWindowVisible(window))
            position->flags |= SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER;
    }
    if (!handled)
        return FALSE;
    if (ResultIsReturned(message))
        return result;
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

BOOL Dialog::InitDialog(HWND window) {
    hwnd = window;
    dpiFollower.Attach(window);
    pump.SetDialog(window);
    CentreOverShownOwner(window);
    return OnInitDialog();
}

bool Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const bool outerDefaultAsked = defaultAsked;
    defaultAsked = false;
    bool handled = false;
    if (message == WM_COMMAND) {
        handled = OnCommand(wParam, lParam) != FALSE;
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (const MessageEntry* entry = Find(MessageEntry::Kind::Notify, WM_NOTIFY,
                                             static_cast<UINT>(header->idFrom), header->code)) {
            result = entry->invoke(*this, wParam, lParam);
            handled = true;
        }
    } else if (const MessageEntry* entry = Find(MessageEntry::Kind::Message, message, 0, 0)) {
        result = entry->invoke(*this, wParam, lParam);
        handled = true;
    }
    handled = handled && !defaultAsked;
    defaultAsked = outerDefaultAsked;
    return handled;
}

} // namespace fw
