// Start-up: the choice between the wizard and silent mode, and the process
// exit status of each.
#pragma once

// Process exit status. Silent mode reports the outcome in the codes that
// deployment tools understand without a custom map; the wizard always ends 0.
constexpr int kExitSuccess = 0;
constexpr int kExitInstallFailed = 1603;  // the installation failed (messages 5, 11, 7)
constexpr int kExitViewerRunning = 1618;  // the viewer runs: nothing installed, retry later

// Silent mode is chosen when the full command line (program path included)
// contains "/silent" anywhere, case-sensitive.
bool IsSilentCommandLine(const wchar_t* commandLine);

// Restricts DLL loading to the system folder, where the running Windows offers it.
void HardenDllSearchPath();

// Initialises the common controls (every class the installer may use).
void InitCommonControlClasses();

// Silent mode as a whole: the running-viewer check, the request from the
// command line, one driver call. Returns the process exit status.
int RunSilentMode();
