// The application object: one per process, constructed with the program's
// globals. Its start-up routine does the whole work of the process.
#pragma once

#include <windows.h>

class WizardSheet;

class App {
  public:
    // Makes this object the process's application (the first one constructed).
    App();
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The start-up routine. Returning false ends the process without a
    // message loop; true runs a message loop until WM_QUIT.
    virtual bool InitInstance() = 0;

    HINSTANCE Instance() const { return instance_; }
    // The window that stands for the application while it runs.
    void SetMainSheet(WizardSheet* sheet) { mainSheet_ = sheet; }
    WizardSheet* MainSheet() const { return mainSheet_; }
    // The process exit status when the start-up routine returns false; 0
    // unless the routine sets another.
    void SetExitCode(int code) { exitCode_ = code; }
    int ExitCode() const { return exitCode_; }

  private:
    friend int RunApp(HINSTANCE instance);
    HINSTANCE instance_ = nullptr;
    WizardSheet* mainSheet_ = nullptr;
    int exitCode_ = 0;
};

// The process's application object, or null.
App* CurrentApp();

// Called from wWinMain: runs the application object's start-up routine and
// returns the process exit status (0 when there is no application object, its
// ExitCode when the start-up returned false).
int RunApp(HINSTANCE instance);
