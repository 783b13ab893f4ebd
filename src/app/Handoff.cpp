#include "app/Handoff.h"

#include "app/HandoffText.h"
#include "framework/App.h"

namespace {
constexpr const char* tooLongText = "ファイル名が長すぎます (255 文字まで)";
constexpr const char* atomFailedText = "ファイル名を渡せませんでした";
} // namespace

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

std::vector<std::string> CommandLineArguments() {
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
