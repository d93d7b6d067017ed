// The application object of the installer: its start-up routine does the
// whole work of the process, in wizard mode or in silent mode, and returns
// false so that no message loop runs.
#pragma once

#include "framework/app.h"
#include "wizard/wiz_property_sheet.h"

#include <windows.h>

class TheApp : public App {
  public:
    TheApp() = default;

    // Hardens the DLL search path, initialises the common controls and runs
    // the mode the command line asks for. Always false; the exit status is 0
    // for the wizard and the silent installation's status otherwise.
    bool InitInstance() override;

  private:
    void RunWizard();

    // The record the wizard's heading font is made from.
    LOGFONTW HeaderFontRecord = {};
};

// The one wizard sheet of the process.
extern CWizPropertySheet SetupSheet;
