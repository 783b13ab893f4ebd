#include "instance/Instance.h"

#include "core/HandoffText.h"
#include "framework/App.h"

namespace {
constexpr const char* tooLongText = "ファイル名が長すぎます (255 文字まで)";
constexpr const char* atomFailedText = "ファイル名を渡せませんでした";

// How long a resident may take to answer before it counts as not responding. A resident that
// shows a menu answers at once: the menu's loop handles what is sent to it.
constexpr UINT responseLimitMs = 5000;

void CALLBACK OnHandled(HWND, UINT, ULONG_PTR handled, LRESULT) {
    *reinterpret_cast<bool*>(handled) = true;
}
} // namespace

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

std::vector<std::string> StartArguments() {
    return SplitArguments(GetCommandLineA(), IsAnsiLeadByte);
}

HWND FindResidentInstance() {
    return FindWindowA("#32770", mainWindowTitle);
}

ATOM AddHandoffAtom(const std::string& text) {
    if (text.size() > maxAtomText) {
        fw::AppMessageBox(tooLongText, MB_ICONHAND);
        return 0;
    }
    ATOM atom = GlobalAddAtomA(text.c_str());
    if (!atom)
        fw::AppMessageBox(atomFailedText, MB_ICONHAND);
    return atom;
}

bool HandOver(HWND resident, ATOM atom) {
    // Sent without blocking: a resident that hangs could keep a blocking send waiting for
    // ever. The answer arrives as a call of OnHandled while this thread takes its messages.
    bool handled = false;
    if (!SendMessageCallbackA(resident, WM_HANDOFF, atom, 0, OnHandled,
                              reinterpret_cast<ULONG_PTR>(&handled)))
        return false;
    for (;;) {
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (handled)
            return true;
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(resident, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, responseLimitMs,
                                 &ignored))
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT);
    }
}

std::optional<std::string> TakeHandoffAtom(ATOM atom) {
    if (atom == 0)
        return std::nullopt;
    char name[maxAtomText + 1] = {};
    const UINT length = GlobalGetAtomNameA(atom, name, sizeof name);
    if (length == 0)
        return std::nullopt; // not an atom: nothing was handed over
    if (GlobalDeleteAtom(atom) != 0)
        fw::AppMessageBox("GlobalDeleteAtom", MB_OK, "Error");
    return std::string(name, length);
}
