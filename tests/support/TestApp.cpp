#include "support/TestApp.h"

#include <commctrl.h>

#include "instance/Identity.h"

namespace testsupport {

namespace {

TestApp theApp;

const bool commonControlsReady = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
}();

} // namespace

TestApp::TestApp() : App(applicationName) {}

TestApp& TheApp() {
    return theApp;
}

InProcessTest::InProcessTest(DWORD limitMs)
    : watchdog(limitMs, ::testing::UnitTest::GetInstance()->current_test_info()->name()) {}

void InProcessTest::SetUp() {
    ASSERT_TRUE(commonControlsReady);
}

void InProcessTest::TearDown() {
    TestApp& app = TheApp();
    app.SetMainWindow(nullptr);
    app.initCalls = 0;
    app.exitCode = 0;
}

} // namespace testsupport
