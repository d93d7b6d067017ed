#include "app/startup.h"

#include "app/command_line.h"
#include "engine/install_driver.h"
#include "engine/install_log.h"
#include "engine/messages.h"
#include "engine/product.h"
#include "engine/text_buffer.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

void HardenDllSearchPath() {
    wchar_t path[MAX_PATH] = {};
    UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    if (!EndsWith(path, L'\\') && !AppendText(path, MAX_PATH, L"\\"))
        return;
    if (!AppendText(path, MAX_PATH, L"kernel32.dll"))
        return;
    HMODULE kernel = GetModuleHandleW(path);
    if (!kernel)
        return;
    using SetDirsFn = BOOL(WINAPI*)(DWORD);
    auto setDirs = reinterpret_cast<SetDirsFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDirs)
        setDirs(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void InitCommonControlClasses() {
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = 0xFF;  // list view, tree view, bars, tabs, up-down, progress, hot key, animate
    InitCommonControlsEx(&icc);
}

int RunSilentMode() {
    if (FindWindowW(kViewerWindowClass, nullptr)) {
        wchar_t message[260];
        LoadMessage(IDS_VIEWER_RUNNING, message, 260);
        AppendInstallLog(message);
        return kExitViewerRunning;
    }
    InstallRequest request;
    BuildSilentRequestFromProcess(request);
    return InstallDriver(request) ? kExitSuccess : kExitInstallFailed;
}
