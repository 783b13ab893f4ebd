#include "FrameworkTestSupport.h"

#include <algorithm>

#include "framework/MessageMap.h"

namespace fwtest {

namespace {

constexpr UINT_PTR tickTimer = 0x7E57;
constexpr const char* probeProperty = "BrindleFrameworkProbe";

MessageBoxCloser* activeCloser = nullptr;

} // namespace

BOOL ProbeDialog::OnInitDialog() {
    initWindow = Hwnd();
    SetPropA(Hwnd(), probeProperty, reinterpret_cast<HANDLE>(1));
    BOOL result = Dialog::OnInitDialog();
    if (onInit)
        onInit(*this);
    if (Hwnd())
        SetTimer(Hwnd(), tickTimer, 10, nullptr);
    return result;
}

std::span<const fw::MessageEntry> ProbeDialog::MessageTable() const {
    static constexpr fw::MessageEntry table[] = {
        fw::MessageHandler<&ProbeDialog::OnTimer>(WM_TIMER),
        fw::MessageHandler<&ProbeDialog::OnWindowPosChanging>(WM_WINDOWPOSCHANGING),
        fw::MessageHandler<&ProbeDialog::OnProbe>(WM_PROBE),
        fw::CommandHandler<&ProbeDialog::OnAction>(IDC_ACTION),
    };
    return table;
}

LRESULT ProbeDialog::OnTimer(WPARAM id, LPARAM) {
    if (id != tickTimer || inTick)
        return 0;
    inTick = true;
    ++ticks;
    if (!shown && IsWindowVisible(Hwnd())) {
        shown = true;
        if (onShown)
            onShown(*this);
    }
    if (onTick)
        onTick(*this, ticks);
    if (ticks == tickLimit) {
        ADD_FAILURE() << "dialog " << templateId << " still running after " << ticks << " ticks";
        EndDialog(-2);
    }
    inTick = false;
    return 0;
}

LRESULT ProbeDialog::OnWindowPosChanging(WPARAM, LPARAM position) {
    auto* change = reinterpret_cast<WINDOWPOS*>(position);
    if (vetoShow && (change->flags & SWP_SHOWWINDOW)) {
        change->flags &= ~SWP_SHOWWINDOW;
        ++vetoedShows;
    }
    return Default();
}

LRESULT ProbeDialog::OnProbe(WPARAM value, LPARAM) {
    if (onPosted)
        onPosted(*this, value);
    return 0;
}

void ProbeDialog::OnAction() {
    if (onAction)
        onAction(*this);
}

bool IsProbe(HWND window) {
    return GetPropA(window, probeProperty) != nullptr;
}

MessageBoxCloser::MessageBoxCloser() : timer(SetTimer(nullptr, 0, 20, Check)) {
    activeCloser = this;
}

MessageBoxCloser::~MessageBoxCloser() {
    KillTimer(nullptr, timer);
    activeCloser = nullptr;
}

void CALLBACK MessageBoxCloser::Check(HWND, UINT, UINT_PTR, DWORD) {
    if (!activeCloser)
        return;
    auto& closing = activeCloser->closing;
    closing.erase(std::remove_if(closing.begin(), closing.end(),
                                 [](HWND window) { return !IsWindow(window); }),
                  closing.end());
    EnumThreadWindows(GetCurrentThreadId(), CheckWindow, 0);
}

BOOL CALLBACK MessageBoxCloser::CheckWindow(HWND window, LPARAM) {
    auto& closing = activeCloser->closing;
    if (ClassOf(window) != "#32770" || IsProbe(window) ||
        std::find(closing.begin(), closing.end(), window) != closing.end())
        return TRUE;
    activeCloser->seen.push_back(ReadMessageBox(window));
    closing.push_back(window);
    PostCommand(window, IDOK);
    return TRUE;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

} // namespace fwtest
