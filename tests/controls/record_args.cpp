// Stand-in for a program opened by a link: appends its command line (UTF-8,
// one line) to the file named by PEL_RECORD_FILE and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"PEL_RECORD_FILE", path, MAX_PATH))
        return 1;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    char line[4096];
    int n = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof(line) - 1, nullptr,
                                nullptr);
    DWORD written = 0;
    if (n > 0) {
        line[n - 1] = '\n';
        WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
    }
    CloseHandle(file);
    return 0;
}
