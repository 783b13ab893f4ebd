// Shared by the framework tests: a dialog whose behaviour each test supplies, a closer for
// message boxes and the fixtures' base.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework_test_resource.h"
#include "support/TestApp.h"
#include "support/Window.h"

namespace fwtest {

using namespace testsupport;

// Posted by tests to a ProbeDialog; arrives at its onPosted hook with the wParam.
constexpr UINT WM_PROBE = WM_APP + 100;

// A dialog whose behaviour each test supplies as hooks. A timer ticks about every 10 ms while
// the dialog runs; a dialog still running after `tickLimit` ticks fails its test and ends
// with −2, so a dialog that never reaches its end cannot hang the program.
class ProbeDialog : public fw::Dialog {
  public:
    explicit ProbeDialog(UINT templateId, fw::Dialog* parent = nullptr)
        : Dialog(templateId, parent), templateId(templateId) {}

    // After the framework's default OnInitDialog (and its data exchange).
    std::function<void(ProbeDialog&)> onInit;
    // Once, at the first tick that finds the window visible.
    std::function<void(ProbeDialog&)> onShown;
    // At every tick, with the tick's number from 1.
    std::function<void(ProbeDialog&, int)> onTick;
    // On WM_PROBE, with its wParam.
    std::function<void(ProbeDialog&, WPARAM)> onPosted;
    // On a click of IDC_ACTION (through the message table's command entry).
    std::function<void(ProbeDialog&)> onAction;
    // The dialog's data exchange.
    std::function<void(fw::DataExchange&)> exchange;

    // Clears SWP_SHOWWINDOW in WM_WINDOWPOSCHANGING, counting the vetoed shows.
    bool vetoShow = false;
    int vetoedShows = 0;

    int tickLimit = 300;
    HWND initWindow = nullptr; // the window at OnInitDialog

    // Sends WM_COMMAND with BN_CLICKED for button `id`, as a click would.
    void Click(int id) {
        SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(id)));
    }

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override {
        if (exchange)
            exchange(dx);
    }
    std::span<const fw::MessageEntry> MessageTable() const override;

  private:
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnWindowPosChanging(WPARAM, LPARAM position);
    LRESULT OnProbe(WPARAM value, LPARAM);
    void OnAction();

    UINT templateId;
    int ticks = 0;
    bool shown = false;
    bool inTick = false; // a nested modal loop in a hook must not tick this dialog again
};

// True for windows of a ProbeDialog, which the message-box closer leaves alone.
bool IsProbe(HWND window);

// While it lives, every message box of this thread is recorded and closed with IDOK soon
// after it appears (from a thread timer, which every modal loop dispatches).
class MessageBoxCloser {
  public:
    MessageBoxCloser();
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    const std::vector<MessageBoxView>& Seen() const { return seen; }

  private:
    static void CALLBACK Check(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK CheckWindow(HWND window, LPARAM);

    UINT_PTR timer;
    std::vector<MessageBoxView> seen;
    std::vector<HWND> closing;
};

// Base of every fixture: a test runs for 20 s at the most.
class FrameworkTest : public InProcessTest {
  protected:
    FrameworkTest() : InProcessTest(20000) {}
};

RECT WindowRect(HWND window);
RECT WorkArea();
int Width(const RECT& rect);
int Height(const RECT& rect);

} // namespace fwtest
