#include "instance/Instance.h"

#include "core/HandoffText.h"
#include "framework/App.h"
#include "framework/MessagePump.h"
#include "platform/AnsiText.h"
#include "platform/Handles.h"
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

// The resident's answer to a hand-off.
struct Answer {
    bool arrived = false;
    LRESULT result = 0;
};

void CALLBACK OnAnswered(HWND, UINT, ULONG_PTR answer, LRESULT result) {
    *reinterpret_cast<Answer*>(answer) = {true, result};
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

void DropHandoffAtom(ATOM atom, const std::wstring& text) {
    wchar_t name[maxAtomText + 1] = {};
    const UINT length = GlobalGetAtomNameW(atom, name, maxAtomText + 1);
    if (length > 0 && text.compare(0, std::wstring::npos, name, length) == 0)
        GlobalDeleteAtom(atom);
}

HandOverResult HandOver(HWND resident, ATOM atom) {
    // A window of this start's own, where the resident reports when a hand-off that had to
    // wait has had its menu. A message-only window: nothing a user or another program sees.
    const UniqueWindow waiter(CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                              nullptr, nullptr, nullptr));
    // Sent without blocking: a resident that hangs could keep a blocking send waiting for
    // ever. The answer arrives as a call of OnAnswered while this thread takes its messages.
    Answer answer;
    if (!SendMessageCallbackW(resident, WM_HANDOFF, atom, reinterpret_cast<LPARAM>(waiter.Get()),
                              OnAnswered, reinterpret_cast<ULONG_PTR>(&answer)))
        return HandOverResult::ResidentGone;
    bool menuClosed = false;
    fw::MessagePump pump;
    pump.SetFilter([&](const MSG& msg) {
        if (msg.message != WM_HANDOFFDONE || msg.hwnd != waiter.Get() || !waiter)
            return false;
        menuClosed = true;
        return true;
    });
    const DWORD sent = GetTickCount();
    DWORD firstUnanswered = 0;
    bool unanswered = false;
    HandOverResult result = HandOverResult::Done;
    // Checked each time the waiting messages have been handled, and every `pollMs`.
    const auto finished = [&] {
        if (answer.arrived && (answer.result != handoffWaits || !waiter || menuClosed))
            return true;
        if (GetTickCount() - sent >= probeGraceMs) {
            const DWORD probed = GetTickCount();
            DWORD_PTR ignored = 0;
            if (SendMessageTimeoutW(resident, WM_NULL, 0, 0, SMTO_NORMAL, probeLimitMs, &ignored)) {
                unanswered = false;
            } else if (!IsWindow(resident)) {
                result = HandOverResult::ResidentGone;
                return true;
            } else if (!unanswered) {
                unanswered = true;
                firstUnanswered = probed;
            } else if (GetTickCount() - firstUnanswered >= unresponsiveLimitMs) {
                result = HandOverResult::ResidentHung;
                return true;
            }
        }
        return false;
    };
    // A WM_QUIT, which nothing posts to a start, would end the wait as if the resident had gone.
    return pump.RunUntil(finished, INFINITE, pollMs) ? result : HandOverResult::ResidentGone;
}

void ReportHandoffDone(HWND waiter) {
    if (waiter && IsWindow(waiter))
        PostMessageW(waiter, WM_HANDOFFDONE, 0, 0);
}

std::optional<std::wstring> TakeHandoffAtom(ATOM atom) {
    if (atom == 0)
        return std::nullopt;
    wchar_t name[maxAtomText + 1] = {};
    const UINT length = GlobalGetAtomNameW(atom, name, maxAtomText + 1);
    if (length == 0)
        return std::nullopt; // not an atom: nothing was handed over
    if (GlobalDeleteAtom(atom) != 0)
        fw::AppMessageBox(fw::LoadText(IDS_ATOM_NOT_DELETED), MB_OK,
                          fw::LoadText(IDS_ERROR_CAPTION).c_str());
    return std::wstring(name, length);
}
