#pragma once
// The About box, run from the main dialog's system menu.

#include "framework/Dialog.h"
#include "resource.h"

class AboutDialog : public fw::Dialog {
  public:
    AboutDialog() : fw::Dialog(IDD_ABOUTBOX) {}
};
