#include "mainwindow/HandoffPipeline.h"

#include "core/LaunchLine.h"
#include "framework/App.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "instance/Instance.h"
#include "mainwindow/Launch.h"
#include "mainwindow/StoreFollower.h"
#include "mainwindow/ViewerMenu.h"
#include "resource.h"

namespace {

// How long a launch waits for its viewer to become ready for input.
constexpr DWORD viewerReadyLimitMs = 100000;

// Makes `window`, when there is one, the foreground and the active window again.
void GiveFocusBack(HWND window) {
    if (window) {
        SetForegroundWindow(window);
        SetActiveWindow(window);
    }
}

} // namespace

void HandoffPipeline::HandOverToSelf(const std::wstring& text) {
    if (ATOM atom = AddHandoffAtom(text))
        PostMessageW(owner.Hwnd(), WM_HANDOFF, atom, 0);
}

LRESULT HandoffPipeline::OnHandoff(WPARAM atom, LPARAM waiter) {
    std::optional<std::wstring> file = TakeHandoffAtom(static_cast<ATOM>(atom));
    if (!file)
        return 0;
    if (!IsLaunchableFile(*file)) {
        owner.MessageBox(fw::LoadText(IDS_QUOTE_REFUSED), nullptr, MB_ICONHAND);
        return 0;
    }
    // A hand-off that arrives while a menu is open or a launch is under way waits for its
    // turn, so that each menu launches the file that opened it; its start is told when its
    // own menu has closed. One that can go now returns when its menu has closed.
    const auto waitingStart = static_cast<DWORD>(waiter);
    if (!handoffs.Arrive({*file, (HandoffQueue::Waiter{waitingStart} << 16) | atom}))
        return waitingStart ? handoffWaits : 0;
    ShowViewerMenu(*file);
    return 0;
}

void HandoffPipeline::OnNextHandoff() {
    if (std::optional<HandoffQueue::Handoff> next = handoffs.NextTurn()) {
        ShowViewerMenu(next->file);
        ReportHandoffDone(static_cast<DWORD>(next->waiter >> 16),
                          static_cast<ATOM>(next->waiter & 0xFFFF));
    }
}

void HandoffPipeline::ShowViewerMenu(const std::wstring& file) {
    POINT point{};
    GetCursorPos(&point);
    const std::vector<std::wstring>& titles = store.MenuTitles();
    const int imageSize = fw::SystemMetricForDpi(SM_CXSMICON, fw::DpiOf(owner.Hwnd()));
    ViewerMenu menu(titles, store.MenuImages(titles, imageSize), imageSize);
    openViewerMenu = &menu;
    menu.HighlightWhenOpen(menu.ItemOf(store.LastChoice()), owner.Hwnd(), point, WM_MENUHIGHLIGHT);
    const UINT chosen = TrackMenu(menu.Handle(), point, TPM_RETURNCMD);
    openViewerMenu = nullptr;
    // The launch waits until this hand-off has returned (and with it a forwarding start's
    // SendMessage) and the focus is back where it was.
    if (const std::wstring* title = menu.TitleOf(chosen)) {
        store.RememberChoice(*title);
        handoffs.Choose(*title, file);
        PostMessageW(owner.Hwnd(), WM_VIEWERCHOSEN, 0, 0);
    }
    GiveFocusBack(returnFocusTo);
    ResumeWaitingHandoffs();
}

void HandoffPipeline::ShowTrayMenu(POINT point) {
    if (handoffs.MenuOpen())
        return;
    // A hand-off that arrives while this menu is open waits for it, as for a viewer menu,
    // instead of losing its file. The window in front at the click gets the focus back.
    HWND front = GetForegroundWindow();
    fw::PopupMenu menu;
    menu.AppendItem(IDCANCEL, fw::LoadText(IDS_EXIT));
    TrackMenu(menu.Handle(), point, 0);
    GiveFocusBack(front);
    ResumeWaitingHandoffs();
}

void HandoffPipeline::ResumeWaitingHandoffs() {
    if (handoffs.HasWaiting())
        PostMessageW(owner.Hwnd(), WM_NEXTHANDOFF, 0, 0);
}

UINT HandoffPipeline::TrackMenu(HMENU menu, POINT point, UINT flags) {
    SetForegroundWindow(owner.Hwnd());
    handoffs.MenuOpened();
    const auto result =
        static_cast<UINT>(TrackPopupMenu(menu, flags, point.x, point.y, 0, owner.Hwnd(), nullptr));
    // Windows closes a background window's menu properly only when its owner was in front
    // while it was tracked and gets a message right after it closed.
    PostMessageW(owner.Hwnd(), WM_NULL, 0, 0);
    handoffs.MenuClosed();
    return result;
}

void HandoffPipeline::OnViewerChosen() {
    std::optional<HandoffQueue::Choice> choice = handoffs.TakeChoice();
    if (!choice)
        return;
    // The window goes on handling messages while the viewer gets ready, so that a later
    // start finds it responsive; hand-offs that arrive meanwhile wait their turn.
    LaunchViewer(choice->title, choice->file, [this](HANDLE process) {
        owner.PumpUntil([process] { return WaitForInputIdle(process, 0) != WAIT_TIMEOUT; },
                        viewerReadyLimitMs);
    });
    handoffs.LaunchEnded();
    ResumeWaitingHandoffs();
}

std::optional<LRESULT> HandoffPipeline::OnMenuChar(wchar_t key, HMENU menu) {
    if (!openViewerMenu || menu != openViewerMenu->Handle())
        return std::nullopt;
    return openViewerMenu->AnswerMenuChar(key, owner.Hwnd(), WM_MENUHIGHLIGHT);
}

void HandoffPipeline::OnMenuHighlight(UINT item) {
    if (openViewerMenu)
        openViewerMenu->FinishHighlight(item, owner.Hwnd());
}

void HandoffPipeline::OnEnterIdle(UINT source) {
    if (source == MSGF_MENU && openViewerMenu)
        openViewerMenu->KeepHighlight(owner.Hwnd());
}

bool HandoffPipeline::OnMeasureItem(MEASUREITEMSTRUCT& measure) {
    return openViewerMenu && openViewerMenu->MeasureItem(measure);
}

bool HandoffPipeline::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    return openViewerMenu && openViewerMenu->DrawItem(draw);
}
