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
    // Where the resident tells this start that a hand-off that had to wait has had its menu: an
    // event of a name that this start and its atom make its own. (A window would cost the start
    // the set-up of the window system.)
    const DWORD self = GetCurrentProcessId();
    const UniqueKernelHandle menuClosed(
        CreateEventW(nullptr, TRUE, FALSE, HandoffDoneEventName(self, atom).c_str()));
    // Sent without blocking: a resident that hangs could keep a blocking send waiting for
    // ever. The answer arrives as a call of OnAnswered while this thread takes its messages.
    Answer answer;
    if (!SendMessageCallbackW(resident, WM_HANDOFF, atom, menuClosed ? self : 0, OnAnswered,
                              reinterpret_cast<ULONG_PTR>(&answer)))
        return HandOverResult::ResidentGone;
    fw::MessagePump pump;
    const DWORD sent = GetTickCount();
    DWORD firstUnanswered = 0;
    bool unanswered = false;
    HandOverResult result = HandOverResult::Done;
    // Checked each time the waiting messages have been handled, the event is set, and every
    // `pollMs`.
    const auto finished = [&] {
        if (answer.arrived && (answer.result != handoffWaits || !menuClosed ||
                               WaitForSingleObject(menuClosed.Get(), 0) == WAIT_OBJECT_0))
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
    return pump.RunUntil(finished, INFINITE, pollMs, menuClosed.Get())
               ? result
               : HandOverResult::ResidentGone;
}

void ReportHandoffDone(DWORD startProcess, ATOM atom) {
    if (startProcess == 0)
        return;
    const UniqueKernelHandle menuClosed(
        OpenEventW(EVENT_MODIFY_STATE, FALSE, HandoffDoneEventName(startProcess, atom).c_str()));
    if (menuClosed)
        SetEvent(menuClosed.Get());
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
