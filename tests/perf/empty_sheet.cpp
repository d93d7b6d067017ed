// An empty wizard of the same toolchain and manifest as the installer: one
// blank page in a comctl32 property sheet. The baseline of the wizard's start.
#include <windows.h>

#include <commctrl.h>

namespace {

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEW(101);
    page.pfnDlgProc = PageProc;
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    header.hInstance = instance;
    header.pszCaption = L"Empty";
    header.nPages = 1;
    header.ppsp = &page;
    PropertySheetW(&header);
    return 0;
}
