// The resident instance in the notification area: whether it shows itself at start, how the
// tray icon, the "最小化" button and the minimise command show and hide it, the About box of
// its system menu, the icon's return when the shell restarts, the tray menu's "終了", and its
// windows on a display of a higher resolution.
// Clicks reach the program as Wine's stand-alone tray passes them on: as mouse messages to
// the icon's window, which notifies the program.

#include "E2eSupport.h"

#include <commctrl.h>

#include "BrindleVersion.h"
#include "resource.h"

using namespace e2e;

namespace {

constexpr UINT aboutCommand = 0x10;
constexpr const char* aboutTitle = "ﾊﾞｰｼﾞｮﾝ情報 Brindle";

const std::vector<Viewer> oneViewer = {{"Text", fakeViewer, "/t"}};

class TrayTest : public BrindleTest {};

bool Visible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

// A click the tray passes on at once: the program has it once `dialog` has synchronised.
void ClickAndSync(HWND icon, UINT message, HWND dialog) {
    SendWithDeadline(icon, message);
    SyncWith(dialog);
}

TEST_F(TrayTest, ShownAtStartOnlyWhenItCountsNoViewers) {
    struct Case {
        const char* what;
        std::vector<Viewer> viewers;
        bool shown;
    };
    // First in the registry's order (not in the menu's), and too long for the count's buffer.
    const std::string longTitle(64, 'A');
    const Case cases[] = {
        {"no viewers", {}, true},
        {"one viewer", oneViewer, false},
        {"a first title of 64 bytes", {oneViewer[0], {longTitle, fakeViewer, "/r"}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteSettings();
        if (!c.viewers.empty())
            SeedViewers(c.viewers);
        Process* process = nullptr;
        HWND dialog = StartResident(&process);
        ASSERT_NE(nullptr, dialog);
        ASSERT_NE(nullptr, WaitForTrayIcon());
        if (c.shown) {
            EXPECT_TRUE(WaitUntil([&] { return Visible(dialog); }));
        } else {
            SyncWith(dialog);
            EXPECT_FALSE(Visible(dialog));
        }
        End(*process);
        ASSERT_TRUE(WaitUntil([] { return TrayIcons().empty(); }));
    }
}

TEST_F(TrayTest, TrayIconAndMinimiseShowAndHideTheWindow) {
    SeedViewers(oneViewer);
    Process* process = nullptr;
    HWND dialog = StartResident(&process);
    ASSERT_NE(nullptr, dialog);
    HWND icon = WaitForTrayIcon();
    ASSERT_NE(nullptr, icon);

    ClickAndSync(icon, WM_LBUTTONDOWN, dialog);
    ClickAndSync(icon, WM_LBUTTONUP, dialog);
    EXPECT_FALSE(Visible(dialog)) << "a single click shows the window";

    PostMessageA(icon, WM_LBUTTONDBLCLK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Visible(dialog); }));
    SendWithDeadline(GetDlgItem(dialog, IDOK), BM_CLICK);
    EXPECT_TRUE(WaitUntil([&] { return !Visible(dialog); })) << "最小化 does not hide";
    ASSERT_TRUE(process->Running());

    PostMessageA(icon, WM_LBUTTONDBLCLK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Visible(dialog); }));
    PostMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !Visible(dialog); })) << "minimise does not hide";
    EXPECT_FALSE(IsIconic(dialog));

    // The About box, owned by the main dialog.
    PostMessageA(dialog, WM_SYSCOMMAND, aboutCommand, 0);
    HWND about = WaitForWindow(process->Id(), "#32770", aboutTitle);
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(dialog, GetWindow(about, GW_OWNER));
    EXPECT_NE(nullptr, FindWindowExA(about, nullptr, "Static", "Brindle Version " BRINDLE_VERSION));
    PostCommand(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
}

TEST_F(TrayTest, IconReturnsWhenTheShellRestartsAndExitEndsTheProgram) {
    SeedViewers(oneViewer);
    Process* process = nullptr;
    HWND dialog = StartResident(&process);
    ASSERT_NE(nullptr, dialog);
    HWND icon = WaitForTrayIcon();
    ASSERT_NE(nullptr, icon);
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");

    // A shell may announce itself while it still has the icon: the icon stays one, and still
    // the way back to a hidden window.
    SendWithDeadline(dialog, taskbarCreated);
    ASSERT_EQ(1u, TrayIcons().size());
    PostMessageA(icon, WM_LBUTTONDBLCLK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Visible(dialog); }));
    SendWithDeadline(GetDlgItem(dialog, IDOK), BM_CLICK);
    EXPECT_TRUE(WaitUntil([&] { return !Visible(dialog); })) << "最小化 does not hide";
    EXPECT_FALSE(IsIconic(dialog));

    // A restarted shell has lost every icon and tells every top-level window so.
    NOTIFYICONDATAA record{};
    record.cbSize = 88; // the record as Windows 4.0 knows it
    record.hWnd = dialog;
    record.uID = 1000;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().empty(); }));
    PostMessageA(HWND_BROADCAST, taskbarCreated, 0, 0);
    icon = WaitForTrayIcon();
    ASSERT_NE(nullptr, icon) << "the icon did not come back";

    // The icon that came back works. Its menu, closed, gives the focus back to the window that
    // was in front; its one item, 終了, ends the program.
    FrontWindow front;
    PostMessageA(icon, WM_RBUTTONDOWN, 0, 0);
    HWND menu = WaitForMenu(process->Id());
    ASSERT_NE(nullptr, menu);
    DismissMenu(menu);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
    SyncWith(dialog);
    EXPECT_EQ(front.Hwnd(), GetForegroundWindow());
    PostMessageA(icon, WM_RBUTTONDOWN, 0, 0);
    menu = WaitForMenu(process->Id());
    ASSERT_NE(nullptr, menu);
    PickMenuItem(menu, 0);
    EXPECT_NE(static_cast<DWORD>(STILL_ACTIVE), process->WaitForExit());
    EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); }));
}

// The main window and the About box of a resident instance started at `dpi`, measured from
// outside: the widths of the list's columns, the room for them (the list's width less a
// vertical scroll bar), the width of the dialog, and the size of the About box's icon (its
// control takes the size of the icon it shows).
struct Scaled {
    int columns[3] = {};
    int listRoom = 0;
    int dialogWidth = 0;
    int aboutIcon = 0;
};

class ScalingTest : public BrindleTest {
  protected:
    Scaled StartAt(DWORD dpi) {
        Scaled seen;
        DisplayDpi display(dpi);
        Process* process = nullptr;
        HWND dialog = StartResident(&process); // without viewers it shows itself
        if (!dialog)
            return seen;
        EXPECT_TRUE(WaitUntil([&] { return Visible(dialog); }));
        HWND list = GetDlgItem(dialog, IDC_VIEWER_LIST);
        for (int column = 0; column < 3; ++column) {
            DWORD_PTR width = 0;
            SendMessageTimeoutA(list, LVM_GETCOLUMNWIDTH, column, 0, SMTO_NORMAL, waitLimitMs,
                                &width);
            seen.columns[column] = static_cast<int>(width);
        }
        RECT client{};
        GetClientRect(list, &client);
        seen.listRoom = client.right - MulDiv(GetSystemMetrics(SM_CXVSCROLL), dpi, 96);
        GetClientRect(dialog, &client);
        seen.dialogWidth = client.right;

        PostMessageA(dialog, WM_SYSCOMMAND, aboutCommand, 0);
        HWND about = WaitForWindow(process->Id(), "#32770", aboutTitle);
        EXPECT_NE(nullptr, about);
        RECT icon{};
        GetWindowRect(GetDlgItem(about, IDC_ABOUT_ICON), &icon);
        seen.aboutIcon = icon.right - icon.left;
        End(*process);
        return seen;
    }
};

TEST_F(ScalingTest, WindowsAreScaledForTheDisplayDpi) {
    const Scaled normal = StartAt(96);
    const Scaled large = StartAt(144); // 150 %
    EXPECT_EQ(120, normal.columns[0]);
    EXPECT_EQ(200, normal.columns[1]);
    EXPECT_EQ(100, normal.columns[2]);
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(normal.columns[column] * 3 / 2, large.columns[column]) << "column " << column;
    // Every header shows whole.
    for (const Scaled& seen : {normal, large})
        EXPECT_LE(seen.columns[0] + seen.columns[1] + seen.columns[2], seen.listRoom);
    // The dialog follows its font: about 1.5 times as wide, whatever the font's metrics.
    EXPECT_NEAR(1.5, static_cast<double>(large.dialogWidth) / normal.dialogWidth, 0.1);
    EXPECT_EQ(32, normal.aboutIcon);
    EXPECT_EQ(48, large.aboutIcon);
}

} // namespace
