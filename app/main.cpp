#include "app/startup.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HardenDllSearchPath();
    InitCommonControlClasses();
    if (IsSilentCommandLine(GetCommandLineW()))
        return RunSilentMode();
    return kExitSuccess;
}
