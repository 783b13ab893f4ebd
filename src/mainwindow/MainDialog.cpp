#include "mainwindow/MainDialog.h"

#include "app/Handoff.h"
#include "app/HandoffText.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "resource.h"

const fw::MessageEntry MainDialog::messageTable[] = {
    fw::MessageHandler<&MainDialog::OnSysCommand>(WM_SYSCOMMAND),
    fw::MessageHandler<&MainDialog::OnDestroy>(WM_DESTROY),
    fw::MessageHandler<&MainDialog::OnPaint>(WM_PAINT),
    fw::MessageHandler<&MainDialog::OnQueryDragIcon>(WM_QUERYDRAGICON),
    fw::MessageHandler<&MainDialog::OnWindowPosChanging>(WM_WINDOWPOSCHANGING),
    fw::CommandHandler<&MainDialog::OnAddEntry>(IDC_ADD),
    fw::CommandHandler<&MainDialog::OnEditEntry>(IDC_EDIT),
    fw::CommandHandler<&MainDialog::OnDeleteEntry>(IDC_DELETE),
    fw::CommandHandler<&MainDialog::OnMoveUp>(IDC_UP),
    fw::CommandHandler<&MainDialog::OnMoveDown>(IDC_DOWN),
    fw::NotifyHandler<&MainDialog::OnListItemChanged>(IDC_VIEWER_LIST, LVN_ITEMCHANGED),
    fw::NotifyHandler<&MainDialog::OnListDblClk>(IDC_VIEWER_LIST, NM_DBLCLK),
    fw::MessageHandler<&MainDialog::OnTrayNotify>(WM_TRAYNOTIFY),
    fw::MessageHandler<&MainDialog::OnHandoff>(WM_HANDOFF),
    fw::MessageHandler<&MainDialog::OnNextHandoff>(WM_NEXTHANDOFF),
    fw::RegisteredMessageHandler<&MainDialog::OnTaskbarCreated>(taskbarCreatedMessage),
};

std::span<const fw::MessageEntry> MainDialog::MessageTable() const {
    return messageTable;
}

MainDialog::MainDialog(fw::Dialog* parent, HWND returnFocusTo)
    : fw::Dialog(IDD_MAIN, parent), returnFocusTo(returnFocusTo),
      appIcon(static_cast<HICON>(LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(IDI_APP),
                                            IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))) {}

void MainDialog::DoDataExchange(fw::DataExchange& dx) {
    dx.Control(IDC_DOWN, downButton);
    dx.Control(IDC_UP, upButton);
    dx.Control(IDC_EDIT, editButton);
    dx.Control(IDC_DELETE, deleteButton);
    dx.Control(IDC_VIEWER_LIST, viewerList);
}

BOOL MainDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    SetUpTray();
    SetUpList();

    // A start with arguments shows its menu as soon as the loop runs, exactly as if another
    // start had handed the file over.
    std::vector<std::string> args = CommandLineArguments();
    if (!args.empty()) {
        if (ATOM atom = AddHandoffAtom(JoinHandoffText(args)))
            PostMessageA(Hwnd(), WM_HANDOFF, atom, 0);
    }
    return TRUE;
}

LRESULT MainDialog::OnWindowPosChanging(WPARAM, LPARAM lParam) {
    if (keepHidden)
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
    return Default();
}
