// Stand-in for the Pellumbra viewer, carried in the payload until the makers'
// viewer replaces it. It behaves as the installer and the shell expect of the
// viewer: a main window of class "Pellumbra", ten icons (indices 0 to 9), and
// it ends when its window is closed. Every start appends the full command line
// as one UTF-8 line to "p_lumb64_calls.txt" beside the program, so tests can see
// how shortcuts, associations and verbs start it.
//
// "/close-after=N" closes the window after N milliseconds.
#include <windows.h>

#include <cwchar>

#include "common/call_log.h"

namespace {

constexpr wchar_t kWindowClass[] = L"Pellumbra";
constexpr wchar_t kCloseAfter[] = L"/close-after=";
constexpr UINT_PTR kCloseTimer = 1;
constexpr int kMainIcon = 1;

// The command line shown in the window (and recorded), kept for WM_PAINT.
const wchar_t* g_commandLine = L"";

// Milliseconds of "/close-after=N", or 0 when the option is absent or not a number.
UINT CloseAfterMilliseconds(const wchar_t* commandLine) {
    const wchar_t* option = wcsstr(commandLine, kCloseAfter);
    if (!option)
        return 0;
    wchar_t* end = nullptr;
    unsigned long ms = wcstoul(option + wcslen(kCloseAfter), &end, 10);
    if (end == option + wcslen(kCloseAfter) || ms > 3600000UL)
        return 0;
    return static_cast<UINT>(ms);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kCloseTimer) {
            KillTimer(window, kCloseTimer);
            DestroyWindow(window);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT area;
        GetClientRect(window, &area);
        InflateRect(&area, -12, -12);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, L"Pellumbra 4.66 \x2013 Platzhalter f\x00fcr den Bildbetrachter", -1, &area,
                  DT_LEFT | DT_TOP | DT_SINGLELINE);
        area.top += 24;
        DrawTextW(dc, g_commandLine, -1, &area, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    g_commandLine = GetCommandLineW();
    AppendCommandLineToLog(L"p_lumb64_calls.txt", g_commandLine);

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kMainIcon));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&wc))
        return 1;

    HWND window = CreateWindowExW(0, kWindowClass, L"Pellumbra", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 560, 220, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);

    UINT closeAfter = CloseAfterMilliseconds(g_commandLine);
    if (closeAfter > 0)
        SetTimer(window, kCloseTimer, closeAfter, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
