#include "instance/Instance.h"

#include "core/HandoffText.h"
#include "framework/App.h"
#include "platform/AnsiText.h"
#include "resource.h"

namespace {

// A resident that has slept in its message loop for a while counts as hung to the system for
// a moment after the hand-off wakes it, and one busy with a menu or a viewer answers late but
// answers. So the resident is asked whether it answers only once the hand-off has gone
// unanswered for a grace period, and counts as not responding only when every probe has gone
// unanswered for several seconds in a row.
constexpr DWORD probeGraceMs = 2000;
constexpr UINT probeLimitMs = 1000;
constexpr DWORD unresponsiveLimitMs = 4000;
constexpr DWORD pollMs = 200;

void CALLBACK OnHandled(HWND, UINT, ULONG_PTR handled, LRESULT) {
    *reinterpret_cast<bool*>(handled) = true;
}
} // namespace

std::vector<std::wstring> StartArguments() {
    return SplitArguments(GetCommandLineW());
}

HWND FindResidentInstance() {
    // The system's dialog class by its atom; the headers' WC_DIALOG is typed for the A calls.
    return FindWindowW(reinterpret_cast<LPCWSTR>(WC_DIALOG), L"" BRINDLE_MAIN_WINDOW_TITLE);
}

ATOM AddHandoffAtom(const std::wstring& text) {
    if (!FitsHandoff(text, platform::AnsiLength)) {
        fw::AppMessageBox(fw::LoadText(IDS_HANDOFF_TOO_LONG), MB_ICONHAND);
        return 0;
    }
    ATOM atom = GlobalAddAtomW(text.c_str());
    if (!atom)
        fw::AppMessageBox(fw::LoadText(IDS_HANDOFF_FAILED), MB_ICONHAND);
    return atom;
}

bool HandOver(HWND resident, ATOM atom) {
    // Sent without blocking: a resident that hangs could keep a blocking send waiting for
    // ever. The answer arrives as a call of OnHandled while this thread takes its messages.
    bool handled = false;
    if (!SendMessageCallbackA(resident, WM_HANDOFF, atom, 0, OnHandled,
                              reinterpret_cast<ULONG_PTR>(&handled)))
        return false;
    const DWORD sent = GetTickCount();
    DWORD firstUnanswered = 0;
    bool unanswered = false;
    for (;;) {
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (handled)
            return true;
        if (GetTickCount() - sent >= probeGraceMs) {
            const DWORD probed = GetTickCount();
            DWORD_PTR ignored = 0;
            if (SendMessageTimeoutA(resident, WM_NULL, 0, 0, SMTO_NORMAL, probeLimitMs, &ignored)) {
                unanswered = false;
            } else if (!IsWindow(resident)) {
                return false; // the resident is gone
            } else if (!unanswered) {
                unanswered = true;
                firstUnanswered = probed;
            } else if (GetTickCount() - firstUnanswered >= unresponsiveLimitMs) {
                return false;
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
    }
}

std::optional<std::wstring> TakeHandoffAtom(ATOM atom) {
    if (atom == 0)
        return std::nullopt;
    wchar_t name[maxAtomText + 1] = {};
    const UINT length = GlobalGetAtomNameW(atom, name, maxAtomText + 1);
    if (length == 0)
        return std::nullopt; // not an atom: nothing was handed over
    if (GlobalDeleteAtom(atom) != 0)
        fw::AppMessageBox(L"GlobalDeleteAtom", MB_OK, L"Error");
    return std::wstring(name, length);
}
