// The runs of a dialog: their end, the owner, and a dialog that refuses to be shown.

#include "FrameworkTestSupport.h"

namespace fwtest {
namespace {

class ModalRun : public FrameworkTest {};
class OwnerRule : public FrameworkTest {};
class ModelessRun : public FrameworkTest {};
class RefusedShow : public FrameworkTest {};

TEST_F(ModalRun, MissingTemplateGivesMinusOne) {
    fw::Dialog missing(IDD_MISSING);
    EXPECT_EQ(-1, missing.DoModal());
}

TEST_F(ModalRun, ReturnsTheEndCode) {
    ProbeDialog okDialog(IDD_PLAIN);
    okDialog.onShown = [](ProbeDialog& self) { SendMessageA(self.Item(IDOK), BM_CLICK, 0, 0); };
    EXPECT_EQ(IDOK, okDialog.DoModal());

    ProbeDialog closedDialog(IDD_PLAIN);
    closedDialog.onShown = [](ProbeDialog& self) { SendMessageA(self.Hwnd(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(IDCANCEL, closedDialog.DoModal());

    ProbeDialog customDialog(IDD_PLAIN);
    customDialog.onShown = [](ProbeDialog& self) { self.EndDialog(42); };
    EXPECT_EQ(42, customDialog.DoModal());
}

TEST_F(ModalRun, DestroysTheWindowBeforeReturning) {
    ProbeDialog dialog(IDD_PLAIN);
    dialog.onShown = [](ProbeDialog& self) { self.EndDialog(IDOK); };
    ASSERT_EQ(IDOK, dialog.DoModal());
    ASSERT_NE(nullptr, dialog.initWindow);
    EXPECT_FALSE(IsWindow(dialog.initWindow));
    EXPECT_EQ(nullptr, dialog.Hwnd());
}

// Records the active window at the moment `watched` starts being destroyed: DestroyWindow
// of an active window activates another one by itself, so only this moment shows whether the
// activation was given back before.
class DestroyWatch {
  public:
    explicit DestroyWatch(HWND& watched)
        : hook(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
        watchedWindow = &watched;
    }
    ~DestroyWatch() {
        UnhookWindowsHookEx(hook);
        watchedWindow = nullptr;
    }
    DestroyWatch(const DestroyWatch&) = delete;
    DestroyWatch& operator=(const DestroyWatch&) = delete;

    static inline HWND activeAtDestroy = nullptr;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_DESTROYWND && watchedWindow &&
            reinterpret_cast<HWND>(wParam) == *watchedWindow)
            activeAtDestroy = GetActiveWindow();
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline HWND* watchedWindow = nullptr;
    HHOOK hook;
};

TEST_F(ModalRun, DisablesTheOwnerWhileRunningAndReactivatesItAfter) {
    struct Seen {
        bool ownerActiveBefore = false;
        bool ownerEnabledWhenShown = true;
        bool innerActive = false;
        INT_PTR result = 0;
        bool ownerEnabledAfter = false;
        HWND activeAtDestroy = nullptr;
        HWND activeAfter = nullptr;
        bool innerExistsAfter = true;
    } seen;
    ProbeDialog owner(IDD_PLAIN);
    owner.onShown = [&](ProbeDialog& outer) {
        seen.ownerActiveBefore = GetActiveWindow() == outer.Hwnd();
        HWND innerWindow = nullptr;
        DestroyWatch watch(innerWindow);
        DestroyWatch::activeAtDestroy = nullptr;
        ProbeDialog inner(IDD_SMALL, &outer);
        inner.onInit = [&](ProbeDialog& self) { innerWindow = self.Hwnd(); };
        inner.onShown = [&](ProbeDialog& self) {
            seen.ownerEnabledWhenShown = IsWindowEnabled(outer.Hwnd()) != FALSE;
            seen.innerActive = GetActiveWindow() == self.Hwnd();
            self.EndDialog(7);
        };
        seen.result = inner.DoModal();
        seen.activeAtDestroy = DestroyWatch::activeAtDestroy;
        seen.ownerEnabledAfter = IsWindowEnabled(outer.Hwnd()) != FALSE;
        seen.activeAfter = GetActiveWindow();
        seen.innerExistsAfter = IsWindow(innerWindow) != FALSE;
        outer.EndDialog(IDOK);
    };
    ASSERT_EQ(IDOK, owner.DoModal());
    EXPECT_TRUE(seen.ownerActiveBefore);
    EXPECT_FALSE(seen.ownerEnabledWhenShown);
    EXPECT_TRUE(seen.innerActive);
    EXPECT_EQ(7, seen.result);
    EXPECT_TRUE(seen.ownerEnabledAfter);
    EXPECT_EQ(owner.initWindow, seen.activeAtDestroy);
    EXPECT_EQ(owner.initWindow, seen.activeAfter);
    EXPECT_FALSE(seen.innerExistsAfter);
}

TEST_F(ModalRun, MissingTemplateLeavesTheOwnerEnabled) {
    bool enabledAfter = false;
    ProbeDialog owner(IDD_PLAIN);
    owner.onShown = [&](ProbeDialog& self) {
        fw::Dialog missing(IDD_MISSING, &self);
        EXPECT_EQ(-1, missing.DoModal());
        enabledAfter = IsWindowEnabled(self.Hwnd()) != FALSE;
        self.EndDialog(IDOK);
    };
    ASSERT_EQ(IDOK, owner.DoModal());
    EXPECT_TRUE(enabledAfter);
}

TEST_F(OwnerRule, NullParentMeansTheMainWindowsLastActivePopup) {
    HWND secondOwner = nullptr;
    HWND thirdOwner = nullptr;
    HWND secondWindow = nullptr;
    ProbeDialog main(IDD_PLAIN);
    TheApp().SetMainWindow(&main);
    main.onShown = [&](ProbeDialog& first) {
        ProbeDialog second(IDD_PLAIN);
        second.onInit = [&](ProbeDialog& self) {
            secondWindow = self.Hwnd();
            secondOwner = GetWindow(self.Hwnd(), GW_OWNER);
        };
        second.onShown = [&](ProbeDialog& self) {
            ProbeDialog third(IDD_SMALL);
            third.onInit = [&](ProbeDialog& innermost) {
                thirdOwner = GetWindow(innermost.Hwnd(), GW_OWNER);
                innermost.EndDialog(IDOK);
            };
            EXPECT_EQ(IDOK, third.DoModal());
            self.EndDialog(IDOK);
        };
        EXPECT_EQ(IDOK, second.DoModal());
        first.EndDialog(IDOK);
    };
    ASSERT_EQ(IDOK, main.DoModal());
    EXPECT_EQ(main.initWindow, secondOwner);
    EXPECT_EQ(secondWindow, thirdOwner);
}

TEST_F(OwnerRule, MainWindowItselfHasNoOwner) {
    HWND owner = reinterpret_cast<HWND>(1);
    ProbeDialog main(IDD_PLAIN);
    TheApp().SetMainWindow(&main);
    main.onInit = [&](ProbeDialog& self) {
        owner = GetWindow(self.Hwnd(), GW_OWNER);
        self.EndDialog(IDOK);
    };
    ASSERT_EQ(IDOK, main.DoModal());
    EXPECT_EQ(nullptr, owner);
}

TEST_F(OwnerRule, WithoutMainWindowThereIsNoOwner) {
    HWND owner = reinterpret_cast<HWND>(1);
    ProbeDialog unrelated(IDD_PLAIN);
    unrelated.onShown = [&](ProbeDialog& first) {
        // A running dialog that is not the main window owns nothing by this rule.
        ProbeDialog second(IDD_SMALL);
        second.onInit = [&](ProbeDialog& self) {
            owner = GetWindow(self.Hwnd(), GW_OWNER);
            self.EndDialog(IDOK);
        };
        EXPECT_EQ(IDOK, second.DoModal());
        first.EndDialog(IDOK);
    };
    ASSERT_EQ(IDOK, unrelated.DoModal());
    EXPECT_EQ(nullptr, owner);
}

TEST_F(ModelessRun, ReturnsTheEndCodeAndDestroysTheWindow) {
    fw::Dialog missing(IDD_MISSING);
    EXPECT_EQ(-1, missing.RunModeless());

    ProbeDialog dialog(IDD_VISIBLE);
    bool visible = false;
    dialog.onTick = [&](ProbeDialog& self, int) {
        visible = IsWindowVisible(self.Hwnd()) != FALSE;
        self.EndDialog(42);
    };
    EXPECT_EQ(42, dialog.RunModeless());
    EXPECT_TRUE(visible);
    EXPECT_FALSE(IsWindow(dialog.initWindow));
    EXPECT_EQ(nullptr, dialog.Hwnd());
}

// Runs IDD_VISIBLE modally with its shows vetoed until the dialog manager's show after
// WM_INITDIALOG and the modal loop's when its queue first runs empty have both been vetoed,
// then checks that it is hidden, that the window in front before those shows is still active,
// and ends it.
TEST_F(RefusedShow, KeepsTheDialogHiddenAndInactiveAndItStillEnds) {
    HWND front = CreateWindowA("Static", "front", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, front);
    bool visibleAfterVeto = true;
    HWND activeAfterVeto = nullptr;
    ProbeDialog dialog(IDD_VISIBLE);
    dialog.vetoShow = true;
    // The dialog manager activates the dialog when it gives its first control the focus; the
    // window in front is put back before the loop runs dry and shows the dialog.
    dialog.onInit = [](ProbeDialog& self) { PostMessageA(self.Hwnd(), WM_PROBE, 0, 0); };
    dialog.onPosted = [&](ProbeDialog&, WPARAM) { SetActiveWindow(front); };
    dialog.onTick = [&](ProbeDialog& self, int) {
        if (self.vetoedShows < 2)
            return;
        visibleAfterVeto = IsWindowVisible(self.Hwnd()) != FALSE;
        activeAfterVeto = GetActiveWindow();
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(2, dialog.vetoedShows);
    EXPECT_FALSE(visibleAfterVeto);
    EXPECT_EQ(front, activeAfterVeto);
    DestroyWindow(front);
}

} // namespace
} // namespace fwtest
