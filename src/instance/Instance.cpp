#include "instance/Instance.h"

#include "core/HandoffText.h"
#include "framework/App.h"

namespace {
constexpr const char* tooLongText = "ファイル名が長すぎます (255 文字まで)";
constexpr const char* atomFailedText = "ファイル名を渡せませんでした";

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}
} // namespace

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
