// Brindle on any system code page: a file name reaches the viewer with every character, and on
// code page 932 the hand-off still works with an earlier ANSI version on either side.

#include "E2eSupport.h"

#include <commctrl.h>

#include "resource.h"

namespace e2e {
namespace {

using Records = std::vector<std::string>;

class CodePageTest : public BrindleTest {};

const std::wstring wideFakeViewer(fakeViewer.begin(), fakeViewer.end());

TEST_F(CodePageTest, FileNamesReachTheViewerWithEveryCharacter) {
    SeedViewers({{"Text", fakeViewer, "/t"}});
    // Japanese; é, 〜 and − (which code page 932 lacks); an unpaired surrogate, passed on as it is.
    const std::wstring names[] = {L"C:\\mail\\\u65E5\u672C\u8A9E.txt",
                                  L"C:\\mail\\caf\u00E9 \u301C\u2212.txt",
                                  L"C:\\mail\\\xD800x.txt"};
    DWORD resident = 0;
    Records expected;
    for (const std::wstring& name : names) {
        Process& start = started.emplace_back();
        ASSERT_TRUE(start.Start(L'"' + std::wstring(brindlePath.begin(), brindlePath.end()) +
                                L"\" \"" + name + L'"'));
        if (!resident)
            resident = start.Id(); // the first start stays resident and opens its own menu
        ASSERT_TRUE(PickMenusUntil(resident, 0, [&] {
            return ViewerLog(viewerWideLogPath).size() > expected.size();
        })) << "no launch for the mail given in Unicode";
        expected.push_back(Utf8Of(wideFakeViewer + L" /t \"" + name + L" \""));
        EXPECT_EQ(expected, WaitForViewerLog(expected.size(), viewerWideLogPath));
    }
}

TEST_F(CodePageTest, UserInterfaceReadsBackInUnicode) {
    Process* process = nullptr;
    HWND dialog = StartResident(&process); // no viewers: the window is shown
    ASSERT_NE(nullptr, dialog);
    const struct {
        int id;
        const wchar_t* text;
    } controls[] = {{IDC_ADD, L"\u8FFD\u52A0"},    {IDC_EDIT, L"\u7DE8\u96C6"},
                    {IDC_DELETE, L"\u524A\u9664"}, {IDC_UP, L"\u4E0A\u3078"},
                    {IDC_DOWN, L"\u4E0B\u3078"},   {IDOK, L"\u6700\u5C0F\u5316"}};
    for (const auto& control : controls)
        EXPECT_EQ(control.text, WideTextOf(GetDlgItem(dialog, control.id))) << control.id;

    PostMessageW(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = nullptr;
    WaitUntil([&] {
        about = FindWindowExW(nullptr, nullptr, L"#32770",
                              L"\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831 Brindle");
        return about != nullptr;
    });
    ASSERT_NE(nullptr, about) << "no About box titled ﾊﾞｰｼﾞｮﾝ情報 Brindle";
    PostCommand(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
}

// Titles stored in UTF-16, Japanese or with a character that code page 932 lacks, are shown
// and launched on any system code page; an unpaired surrogate (which no valid text holds) is
// passed on as it is.
TEST_F(CodePageTest, ViewersTitledInUnicodeLaunch) {
    const std::vector<ViewerEntry> viewers = {
        {L"Caf\u00E9 R&D", wideFakeViewer, L"/c"},
        {L"\u65E5\u672C\u8A9E\u30ED\u30B0", wideFakeViewer, L"/j"},
        {L"\xD800 lone", wideFakeViewer, L"/s\xDC00"}};
    ASSERT_TRUE(WriteWideViewers(viewers));
    DWORD resident = 0;
    Records expected;
    for (int item = 0; item < 3; ++item) {
        Process& start = Start("C:\\mail\\" + std::to_string(item) + ".txt");
        if (!resident)
            resident = start.Id();
        ASSERT_TRUE(PickMenusUntil(
            resident, item, [&] { return ViewerLog(viewerWideLogPath).size() > expected.size(); }))
            << "no launch of viewer " << item;
        expected.push_back(Utf8Of(wideFakeViewer + L' ' + viewers[item].parameters +
                                  L" \"C:\\mail\\" + std::to_wstring(item) + L".txt \""));
        EXPECT_EQ(expected, WaitForViewerLog(expected.size(), viewerWideLogPath));
    }
}

// The list window and the editor hold such titles whole: an edit writes the title back as it
// was stored.
TEST_F(CodePageTest, ViewersTitledInUnicodeAreListedAndEdited) {
    Process* process = nullptr;
    HWND dialog = StartResident(&process); // no viewers: the window is shown
    ASSERT_NE(nullptr, dialog);
    const std::wstring title = L"\u65E5\u672C\u8A9E\u30ED\u30B0 caf\u00E9 \u301C";
    ASSERT_TRUE(WriteWideViewers({{title, wideFakeViewer, L"/j"}}));
    HWND list = GetDlgItem(dialog, IDC_VIEWER_LIST);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0); // selects the row
    ASSERT_TRUE(
        WaitUntil([&] { return SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 0; }));
    PostCommand(dialog, IDC_EDIT);
    HWND editor = WaitForWindow(process->Id(), "#32770", editorCaption);
    ASSERT_NE(nullptr, editor);
    // Another process's edit gives its text only when asked by message.
    wchar_t shown[64] = {};
    SendMessageW(GetDlgItem(editor, IDC_TITLE), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(title, shown);
    const std::wstring parameters = L"/\u00E9\u30ED";
    SendMessageW(GetDlgItem(editor, IDC_PARAMETERS), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(parameters.c_str()));
    PostCommand(editor, IDOK);
    const std::vector<ViewerEntry> edited = {{title, wideFakeViewer, parameters}};
    EXPECT_TRUE(WaitUntil([&] { return ViewerStore().Load() == edited; }));
}

// Only code page 932 has the earlier ANSI version's bytes to compare with.
#define SKIP_UNLESS_CODE_PAGE_932()                                                                \
    if (GetACP() != 932)                                                                           \
    GTEST_SKIP() << "the earlier version's bytes are those of code page 932"

// 表 in code page 932, whose second byte is 0x5C.
const std::string hyou = "\x95\x5C";

TEST_F(CodePageTest, EarlierAnsiStartHandsOverToThisVersion) {
    SKIP_UNLESS_CODE_PAGE_932();
    SeedViewers({{"Text", fakeViewer, "/t"}});
    Process* resident = nullptr;
    HWND dialog = StartResident(&resident);
    ASSERT_NE(nullptr, dialog);
    // What the earlier version sends: the text in the ANSI code page as an ANSI atom.
    const std::string text = "C:\\mail\\" + hyou + hyou + ".txt ";
    const ATOM atom = GlobalAddAtomA(text.c_str());
    ASSERT_NE(0, atom);
    ASSERT_TRUE(SendNotifyMessageA(dialog, WM_HANDOFF, atom, 0));
    EXPECT_TRUE(PickMenusUntil(resident->Id(), 0, [] { return !ViewerLog().empty(); }));
    EXPECT_EQ(Records{fakeViewer + " /t \"" + text + "\""}, WaitForViewerLog(1));
}

// An earlier version's resident window: it reads the atom as that version did, in the ANSI
// code page into a 256-byte buffer.
LRESULT CALLBACK EarlierResidentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HANDOFF) {
        char name[256] = {};
        const UINT length = GlobalGetAtomNameA(static_cast<ATOM>(wParam), name, sizeof name);
        GlobalDeleteAtom(static_cast<ATOM>(wParam));
        auto* received = reinterpret_cast<Records*>(GetPropA(window, "received"));
        received->emplace_back(name, length);
        return 0;
    }
    auto original = reinterpret_cast<WNDPROC>(GetPropA(window, "original"));
    return CallWindowProcA(original, window, message, wParam, lParam);
}

TEST_F(CodePageTest, ThisVersionHandsOverToAnEarlierAnsiResident) {
    SKIP_UNLESS_CODE_PAGE_932();
    HWND earlier = CreateWindowA("#32770", mainWindowTitle, WS_POPUP, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, earlier);
    Records received;
    SetPropA(earlier, "received", &received);
    SetPropA(earlier, "original",
             reinterpret_cast<HANDLE>(GetWindowLongPtrA(earlier, GWLP_WNDPROC)));
    SetWindowLongPtrA(earlier, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EarlierResidentProc));
    const std::wstring brindle(brindlePath.begin(), brindlePath.end());

    // 127 times 表 and the space: 255 bytes in code page 932, all the earlier version reads.
    Process& fits = started.emplace_back();
    ASSERT_TRUE(fits.Start(L'"' + brindle + L"\" " + std::wstring(127, L'\u8868')));
    EXPECT_EQ(0u, fits.WaitForExit());
    std::string longest;
    for (int i = 0; i < 127; ++i)
        longest += hyou;
    EXPECT_EQ(Records{longest + " "}, received);

    // One more is refused by the start, as the earlier version refused it.
    Process& over = started.emplace_back();
    ASSERT_TRUE(over.Start(L'"' + brindle + L"\" " + std::wstring(128, L'\u8868')));
    ASSERT_NO_FATAL_FAILURE(ExpectMessage(over.Id(), textTooLongText));
    EXPECT_EQ(0u, over.WaitForExit());
    EXPECT_EQ(1u, received.size());

    SetWindowLongPtrA(earlier, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(GetPropA(earlier, "original")));
    RemovePropA(earlier, "received");
    RemovePropA(earlier, "original");
    DestroyWindow(earlier);
}

} // namespace
} // namespace e2e
