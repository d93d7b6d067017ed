// Times programs from inside the Wine prefix, so that every figure includes
// the same cost of starting a process.
//
//   pel_timer run N CMDLINE      run CMDLINE N times, one after the other;
//                                print each run's milliseconds from its start
//                                to its end, and its exit code
//   pel_timer page N CMDLINE     start CMDLINE N times; print the milliseconds
//                                until one of its windows shows a dialog page
//                                (a visible #32770 child of a visible window),
//                                then end the process
//   pel_timer desktop SECONDS    keep a window (and so Wine's desktop process)
//                                alive for SECONDS, as a user's session has
//                                one: the programs measured meanwhile do not
//                                pay for starting it
// Output: one "ms=... exit=..." line per run.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

double Now() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Search {
    DWORD process;
    bool found;
};

BOOL CALLBACK FindPage(HWND child, LPARAM data) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (IsWindowVisible(child) && lstrcmpW(name, L"#32770") == 0) {
        reinterpret_cast<Search*>(data)->found = true;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindSheet(HWND window, LPARAM data) {
    Search* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && IsWindowVisible(window))
        EnumChildWindows(window, FindPage, data);
    return !search->found;
}

bool Start(const wchar_t* commandLine, PROCESS_INFORMATION* pi) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::wstring line = commandLine;
    return CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          pi) != FALSE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"desktop") {
        HWND window = CreateWindowExW(0, L"STATIC", L"pel_timer", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, nullptr, nullptr);
        DWORD end = GetTickCount() + 1000u * static_cast<DWORD>(_wtoi(argv[2]));
        MSG message;
        while (GetTickCount() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT);
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
        DestroyWindow(window);
        return 0;
    }
    if (argc != 4)
        return 2;
    std::wstring mode = argv[1];
    int runs = _wtoi(argv[2]);
    for (int i = 0; i < runs; ++i) {
        PROCESS_INFORMATION pi = {};
        double t0 = Now();
        if (!Start(argv[3], &pi))
            return 3;
        double ms = -1;
        if (mode == L"run") {
            WaitForSingleObject(pi.hProcess, INFINITE);
            ms = Now() - t0;
        } else {
            Search search = {pi.dwProcessId, false};
            while (!search.found && WaitForSingleObject(pi.hProcess, 1) == WAIT_TIMEOUT)
                EnumWindows(FindSheet, reinterpret_cast<LPARAM>(&search));
            if (search.found)
                ms = Now() - t0;
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, INFINITE);
        }
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        std::printf("ms=%.1f exit=%lu\n", ms, static_cast<unsigned long>(code));
        std::fflush(stdout);
    }
    return 0;
}
