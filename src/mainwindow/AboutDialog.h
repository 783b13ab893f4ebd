#pragma once
// The About box, run from the main dialog's system menu.

#include "framework/Dialog.h"
#include "resource.h"

class AboutDialog : public fw::Dialog {
  public:
    AboutDialog() : fw::Dialog(IDD_ABOUTBOX) {}

  protected:
    BOOL OnInitDialog() override {
        ShowIcon(IDC_ABOUT_ICON, IDI_APP); // at the size for the box's DPI
        return fw::Dialog::OnInitDialog();
    }
};
