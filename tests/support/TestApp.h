#pragma once
// The in-process Windows tests' application object, and the base of their fixtures.

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/App.h"
#include "support/Wait.h"

namespace testsupport {

// The program's one application object (a process has at most one), named as Brindle is:
// message boxes without a caption show its name, and windows made without a parent are owned
// by its main window. InitInstance is reached only through fw::RunApplication, and returns the
// exit code a test set.
class TestApp : public fw::App {
  public:
    TestApp();

    int initCalls = 0;
    int exitCode = 0;

    int InitInstance() override {
        ++initCalls;
        return exitCode;
    }
};

TestApp& TheApp();

// Base of the in-process fixtures: the common controls are registered (a dialog template may
// name a list view), a watchdog ends the program when a test runs longer than `limitMs`, and
// after each test the application and the file dialog's test answer are as they started.
class InProcessTest : public ::testing::Test {
  protected:
    explicit InProcessTest(DWORD limitMs);
    void SetUp() override;
    void TearDown() override;

  private:
    Watchdog watchdog;
};

} // namespace testsupport
