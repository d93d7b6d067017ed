// Stand-in for the viewer's uninstaller, carried in the payload until the
// makers' one replaces it. It removes nothing: it only records that it was
// started, in "pl_uninstall_calls.txt" beside itself, so tests can see that the
// uninstall entry and the start-menu shortcut start it.
#include <windows.h>

#include "common/call_log.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    AppendCommandLineToLog(L"pl_uninstall_calls.txt", GetCommandLineW());
    return 0;
}
