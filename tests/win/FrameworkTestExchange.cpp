// Commands, data exchange, message boxes and the message table of a dialog.

#include "FrameworkTestSupport.h"

#include "framework/Controls.h"
#include "framework/MessageMap.h"

namespace fwtest {
namespace {

class CommandRouting : public FrameworkTest {};
class DataExchange : public FrameworkTest {};
class MessageBoxes : public FrameworkTest {};
class MessageTable : public FrameworkTest {};

// Written here, not taken from the string table, so that a changed text fails the tests.
const std::string internalError = "ｱﾌﾟﾘｹｰｼｮﾝの内部ｴﾗｰです。";

class RoutingDialog : public ProbeDialog {
  public:
    using ProbeDialog::ProbeDialog;
    int okCalls = 0;
    int cancelCalls = 0;

  protected:
    void OnOK() override {
        ++okCalls;
        EndDialog(11);
    }
    void OnCancel() override {
        ++cancelCalls;
        EndDialog(12);
    }
};

TEST_F(CommandRouting, OkButtonCallsOnOkAndCancelButtonOnCancel) {
    RoutingDialog ok(IDD_PLAIN);
    ok.onShown = [](ProbeDialog& self) { SendMessageA(self.Item(IDOK), BM_CLICK, 0, 0); };
    EXPECT_EQ(11, ok.DoModal());
    EXPECT_EQ(1, ok.okCalls);
    EXPECT_EQ(0, ok.cancelCalls);

    RoutingDialog cancel(IDD_PLAIN);
    cancel.onShown = [](ProbeDialog& self) { SendMessageA(self.Item(IDCANCEL), BM_CLICK, 0, 0); };
    EXPECT_EQ(12, cancel.DoModal());
    EXPECT_EQ(0, cancel.okCalls);
    EXPECT_EQ(1, cancel.cancelCalls);
}

TEST_F(CommandRouting, EnterAndEscapeInTheModalLoopReachOnOkAndOnCancel) {
    // The keys reach the dialog through the loop's keyboard interface, as typed keys would.
    RoutingDialog enter(IDD_PLAIN);
    enter.onShown = [](ProbeDialog& self) { PostMessageA(self.Hwnd(), WM_KEYDOWN, VK_RETURN, 1); };
    EXPECT_EQ(11, enter.DoModal());
    EXPECT_EQ(1, enter.okCalls);

    RoutingDialog escape(IDD_PLAIN);
    escape.onShown = [](ProbeDialog& self) { PostMessageA(self.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 1); };
    EXPECT_EQ(12, escape.DoModal());
    EXPECT_EQ(1, escape.cancelCalls);
}

TEST_F(CommandRouting, DefaultOnInitDialogLoadsTheMembers) {
    std::wstring value = L"初期値";
    std::string shown;
    ProbeDialog dialog(IDD_PLAIN);
    dialog.exchange = [&](fw::DataExchange& dx) { dx.Text(IDC_FIRST_EDIT, value); };
    dialog.onInit = [&](ProbeDialog& self) {
        shown = TextOf(self.Item(IDC_FIRST_EDIT));
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("初期値", shown);
}

TEST_F(CommandRouting, DefaultOnOkSavesTheMembersAndEndsWithIdok) {
    std::wstring value = L"初期値";
    ProbeDialog dialog(IDD_PLAIN);
    dialog.exchange = [&](fw::DataExchange& dx) { dx.Text(IDC_FIRST_EDIT, value); };
    dialog.onShown = [](ProbeDialog& self) {
        SetWindowTextA(self.Item(IDC_FIRST_EDIT), "保存値");
        self.Click(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(L"保存値", value);
}

TEST_F(CommandRouting, DefaultOnOkDoesNotEndWhenSavingFails) {
    MessageBoxCloser closer;
    fw::Window nowhere;
    bool reachMissing = false;
    bool runningAfterOk = false;
    ProbeDialog dialog(IDD_PLAIN);
    dialog.exchange = [&](fw::DataExchange& dx) {
        if (reachMissing)
            dx.Control(IDC_MISSING, nowhere);
    };
    dialog.onShown = [&](ProbeDialog& self) {
        reachMissing = true;
        self.Click(IDOK);
        // Reaches the dialog only if OK left it running.
        PostMessageA(self.Hwnd(), WM_PROBE, 0, 0);
    };
    dialog.onPosted = [&](ProbeDialog& self, WPARAM) {
        runningAfterOk = true;
        self.EndDialog(5);
    };
    EXPECT_EQ(5, dialog.DoModal());
    EXPECT_TRUE(runningAfterOk);
    ASSERT_EQ(1u, closer.Seen().size());
    EXPECT_EQ(internalError, closer.Seen()[0].text);
}

TEST_F(CommandRouting, DefaultOnCancelEndsWithoutDataExchange) {
    std::wstring value = L"元の値";
    ProbeDialog dialog(IDD_PLAIN);
    dialog.exchange = [&](fw::DataExchange& dx) { dx.Text(IDC_FIRST_EDIT, value); };
    dialog.onShown = [](ProbeDialog& self) {
        SetWindowTextA(self.Item(IDC_FIRST_EDIT), "変更後");
        self.Click(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(L"元の値", value);
}

TEST_F(CommandRouting, FailedInitialExchangeEndsWithMinusOneAfterTheInternalError) {
    MessageBoxCloser closer;
    fw::Window nowhere;
    ProbeDialog dialog(IDD_PLAIN);
    dialog.exchange = [&](fw::DataExchange& dx) { dx.Control(IDC_MISSING, nowhere); };
    EXPECT_EQ(-1, dialog.DoModal());
    ASSERT_EQ(1u, closer.Seen().size());
    EXPECT_EQ(internalError, closer.Seen()[0].text);
    EXPECT_EQ(dialog.initWindow, closer.Seen()[0].owner);
}

TEST_F(CommandRouting, ButtonClickReachesItsCommandEntry) {
    int actions = 0;
    ProbeDialog dialog(IDD_PLAIN);
    dialog.onAction = [&](ProbeDialog& self) {
        ++actions;
        self.EndDialog(33);
    };
    dialog.onShown = [](ProbeDialog& self) { SendMessageA(self.Item(IDC_ACTION), BM_CLICK, 0, 0); };
    EXPECT_EQ(33, dialog.DoModal());
    EXPECT_EQ(1, actions);
}

// Runs an IDD_PLAIN dialog with `exchange`, calls `body` from its OnInitDialog (after the
// default loading) and ends it.
void WithExchangeDialog(const std::function<void(fw::DataExchange&)>& exchange,
                        const std::function<void(ProbeDialog&)>& body) {
    ProbeDialog dialog(IDD_PLAIN);
    dialog.exchange = exchange;
    dialog.onInit = [&](ProbeDialog& self) {
        body(self);
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST_F(DataExchange, UpdateDataRunsTheExchangeInTheGivenDirection) {
    std::wstring value = L"初期値";
    WithExchangeDialog([&](fw::DataExchange& dx) { dx.Text(IDC_FIRST_EDIT, value); },
                       [&](ProbeDialog& self) {
                           SetWindowTextW(self.Item(IDC_FIRST_EDIT), L"入力");
                           EXPECT_TRUE(self.UpdateData(TRUE));
                           EXPECT_EQ(L"入力", value);
                           value = L"設定";
                           EXPECT_TRUE(self.UpdateData(FALSE));
                           EXPECT_EQ(L"設定", fw::WindowText(self.Item(IDC_FIRST_EDIT)));
                           SetWindowTextW(self.Item(IDC_FIRST_EDIT), L"既定");
                           EXPECT_TRUE(self.UpdateData());
                           EXPECT_EQ(L"既定", value);
                       });
}

TEST_F(DataExchange, ControlIsBoundOnce) {
    fw::Window bound;
    HWND first = nullptr;
    WithExchangeDialog([&](fw::DataExchange& dx) { dx.Control(IDC_FIRST_EDIT, bound); },
                       [&](ProbeDialog& self) {
                           first = self.Item(IDC_FIRST_EDIT);
                           EXPECT_EQ(first, bound.Hwnd());
                           // The id now names the other edit: a second binding would follow it.
                           SetWindowLongPtrA(first, GWLP_ID, IDC_MISSING);
                           SetWindowLongPtrA(self.Item(IDC_SECOND_EDIT), GWLP_ID, IDC_FIRST_EDIT);
                           EXPECT_TRUE(self.UpdateData(TRUE));
                           EXPECT_TRUE(self.UpdateData(FALSE));
                       });
    EXPECT_EQ(first, bound.Hwnd());
}

// A Japanese text of at least `length` characters, with one outside the BMP.
std::wstring LongJapaneseText(size_t length) {
    std::wstring text;
    for (int n = 0; text.size() < length; ++n)
        text += L"表示ｿﾌﾄソフト\\" + std::to_wstring(n) + L" ";
    return text + L"\U00020BB7終";
}

TEST_F(DataExchange, SavingReadsTheWholeText) {
    const std::wstring text = LongJapaneseText(1500);
    std::wstring value;
    WithExchangeDialog([&](fw::DataExchange& dx) { dx.Text(IDC_FIRST_EDIT, value); },
                       [&](ProbeDialog& self) {
                           SetWindowTextW(self.Item(IDC_FIRST_EDIT), text.c_str());
                           EXPECT_TRUE(self.UpdateData(TRUE));
                       });
    EXPECT_EQ(text, value);
}

// Counts WM_SETTEXT reaching a subclassed edit.
int setTextCount = 0;
WNDPROC editProc = nullptr;
LRESULT CALLBACK CountingEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT)
        ++setTextCount;
    return CallWindowProcW(editProc, window, message, wParam, lParam);
}

TEST_F(DataExchange, LoadingWritesOnlyWhenTheTextDiffers) {
    std::wstring value = LongJapaneseText(1500);
    WithExchangeDialog([&](fw::DataExchange& dx) { dx.Text(IDC_FIRST_EDIT, value); },
                       [&](ProbeDialog& self) {
                           HWND edit = self.Item(IDC_FIRST_EDIT);
                           ASSERT_EQ(value, fw::WindowText(edit)); // written by OnInitDialog
                           setTextCount = 0;
                           editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                               edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingEditProc)));
                           SendMessageA(edit, EM_SETSEL, 2, 5);
                           SendMessageA(edit, EM_SETMODIFY, TRUE, 0);

                           EXPECT_TRUE(self.UpdateData(FALSE));
                           EXPECT_EQ(0, setTextCount);
                           DWORD start = 0, end = 0;
                           SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                        reinterpret_cast<LPARAM>(&end));
                           EXPECT_EQ(2u, start);
                           EXPECT_EQ(5u, end);
                           EXPECT_TRUE(SendMessageA(edit, EM_GETMODIFY, 0, 0));

                           // Differs only in its last character, far past any short buffer.
                           value.replace(value.size() - 1, 1, L"末");
                           EXPECT_TRUE(self.UpdateData(FALSE));
                           EXPECT_EQ(1, setTextCount);
                           EXPECT_EQ(value, fw::WindowText(edit));
                           SetWindowLongPtrW(edit, GWLP_WNDPROC,
                                             reinterpret_cast<LONG_PTR>(editProc));
                       });
}

TEST_F(DataExchange, AMissingControlShowsTheInternalErrorAndGivesFalse) {
    MessageBoxCloser closer;
    enum class Missing { None, Bound, Text } missing = Missing::None;
    fw::Window nowhere;
    std::wstring text;
    HWND dialogWindow = nullptr;
    WithExchangeDialog(
        [&](fw::DataExchange& dx) {
            if (missing == Missing::Bound)
                dx.Control(IDC_MISSING, nowhere);
            if (missing == Missing::Text)
                dx.Text(IDC_MISSING, text);
        },
        [&](ProbeDialog& self) {
            dialogWindow = self.Hwnd();
            missing = Missing::Bound;
            EXPECT_FALSE(self.UpdateData(TRUE));
            missing = Missing::Text;
            EXPECT_FALSE(self.UpdateData(FALSE));
        });
    ASSERT_EQ(2u, closer.Seen().size());
    for (const MessageBoxView& box : closer.Seen()) {
        EXPECT_EQ(internalError, box.text);
        EXPECT_EQ(ExclamationIcon(), box.icon);
        EXPECT_EQ(dialogWindow, box.owner);
        EXPECT_EQ(TheApp().Name(), box.caption);
    }
}

TEST_F(MessageBoxes, DialogsBoxIsOwnedByItAndANullCaptionIsTheAppName) {
    MessageBoxCloser closer;
    int answer = 0;
    ProbeDialog dialog(IDD_PLAIN);
    dialog.onShown = [&](ProbeDialog& self) {
        answer = self.MessageBox(L"確認してください", nullptr, MB_OK);
        self.MessageBox(L"二つ目", L"題名", MB_OK);
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(IDOK, answer);
    ASSERT_EQ(2u, closer.Seen().size());
    EXPECT_EQ(dialog.initWindow, closer.Seen()[0].owner);
    EXPECT_EQ(TheApp().Name(), closer.Seen()[0].caption);
    EXPECT_EQ("確認してください", closer.Seen()[0].text);
    EXPECT_EQ(nullptr, closer.Seen()[0].icon);
    EXPECT_EQ(dialog.initWindow, closer.Seen()[1].owner);
    EXPECT_EQ("題名", closer.Seen()[1].caption);
}

TEST_F(MessageBoxes, ApplicationBoxIsOwnedByTheMainWindowsLastActivePopup) {
    MessageBoxCloser closer;
    HWND popup = nullptr;
    ProbeDialog main(IDD_PLAIN);
    TheApp().SetMainWindow(&main);
    main.onShown = [&](ProbeDialog& first) {
        ProbeDialog second(IDD_SMALL);
        second.onShown = [&](ProbeDialog& self) {
            popup = self.Hwnd();
            fw::AppMessageBox(L"全体の通知");
            self.EndDialog(IDOK);
        };
        EXPECT_EQ(IDOK, second.DoModal());
        first.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, main.DoModal());
    ASSERT_EQ(1u, closer.Seen().size());
    EXPECT_EQ(popup, closer.Seen()[0].owner);
    EXPECT_EQ(TheApp().Name(), closer.Seen()[0].caption);
    EXPECT_EQ("全体の通知", closer.Seen()[0].text);
}

constexpr UINT WM_COMBINE = WM_APP + 1;
constexpr UINT WM_NESTED = WM_APP + 2;

// Its own table replaces the probe's, so its tests run from OnInitDialog.
class TableDialog : public ProbeDialog {
  public:
    using ProbeDialog::ProbeDialog;
    int voidCalls = 0;
    std::vector<UINT> notifications;

  protected:
    std::span<const fw::MessageEntry> MessageTable() const override {
        static constexpr fw::MessageEntry table[] = {
            fw::MessageHandler<&TableDialog::OnCombine>(WM_COMBINE),
            fw::MessageHandler<&TableDialog::OnGetDefId>(DM_GETDEFID),
            fw::NotifyHandler<&TableDialog::OnListDoubleClick>(IDC_LIST, NM_DBLCLK),
        };
        return table;
    }

  private:
    LRESULT OnCombine(WPARAM high, LPARAM low) { return static_cast<LRESULT>(high * 1000 + low); }
    void OnGetDefId() { ++voidCalls; }
    void OnListDoubleClick(NMHDR* header, LRESULT* result) {
        notifications.push_back(header->code);
        *result = 0x5A5A;
    }
};

// Sends WM_NOTIFY with `id` and `code` to `dialog`, as a control would.
LRESULT Notify(HWND dialog, UINT_PTR id, UINT code) {
    NMHDR header{GetDlgItem(dialog, static_cast<int>(id)), id, code};
    return SendMessageA(dialog, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

TEST_F(MessageTable, HandlersResultReachesTheSender) {
    TableDialog dialog(IDD_PLAIN);
    dialog.onInit = [](ProbeDialog& self) {
        EXPECT_EQ(42007, SendMessageA(self.Hwnd(), WM_COMBINE, 42, 7));
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST_F(MessageTable, VoidHandlerAnswersZero) {
    // Unhandled, the dialog manager answers DM_GETDEFID with the default button.
    ProbeDialog plain(IDD_PLAIN);
    plain.onInit = [](ProbeDialog& self) {
        EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), SendMessageA(self.Hwnd(), DM_GETDEFID, 0, 0));
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, plain.DoModal());

    TableDialog dialog(IDD_PLAIN);
    dialog.onInit = [](ProbeDialog& self) {
        EXPECT_EQ(0, SendMessageA(self.Hwnd(), DM_GETDEFID, 0, 0));
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.voidCalls);
}

TEST_F(MessageTable, NotifyHandlerTakesOnlyItsControlAndCode) {
    std::vector<LRESULT> results;
    TableDialog dialog(IDD_PLAIN);
    dialog.onInit = [&](ProbeDialog& self) {
        results.push_back(Notify(self.Hwnd(), IDC_LIST, NM_DBLCLK));
        results.push_back(Notify(self.Hwnd(), IDC_ACTION, NM_DBLCLK));
        results.push_back(Notify(self.Hwnd(), IDC_LIST, NM_CLICK));
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ((std::vector<UINT>{static_cast<UINT>(NM_DBLCLK)}), dialog.notifications);
    EXPECT_EQ((std::vector<LRESULT>{0x5A5A, 0, 0}), results);
}

// Answers DM_GETDEFID through Default(), after handling another message in between.
class DefaultDialog : public ProbeDialog {
  public:
    using ProbeDialog::ProbeDialog;
    int calls = 0;

  protected:
    std::span<const fw::MessageEntry> MessageTable() const override {
        static constexpr fw::MessageEntry table[] = {
            fw::MessageHandler<&DefaultDialog::OnGetDefId>(DM_GETDEFID),
            fw::MessageHandler<&DefaultDialog::OnNested>(WM_NESTED),
        };
        return table;
    }

  private:
    LRESULT OnGetDefId(WPARAM, LPARAM) {
        ++calls;
        SendMessageA(Hwnd(), WM_NESTED, 0, 0);
        return Default();
    }
    LRESULT OnNested(WPARAM, LPARAM) { return Default(); }
};

TEST_F(MessageTable, DefaultRunsTheDialogManagersProcessing) {
    std::vector<LRESULT> answers;
    DefaultDialog dialog(IDD_PLAIN);
    dialog.onInit = [&](ProbeDialog& self) {
        answers.push_back(SendMessageA(self.Hwnd(), DM_GETDEFID, 0, 0));
        SendMessageA(self.Hwnd(), DM_SETDEFID, IDC_ACTION, 0);
        answers.push_back(SendMessageA(self.Hwnd(), DM_GETDEFID, 0, 0));
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(2, dialog.calls);
    EXPECT_EQ(
        (std::vector<LRESULT>{MAKELONG(IDOK, DC_HASDEFID), MAKELONG(IDC_ACTION, DC_HASDEFID)}),
        answers);
}

} // namespace
} // namespace fwtest
