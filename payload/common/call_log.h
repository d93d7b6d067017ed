// Start log of the stand-in programs: each start appends the program's full
// command line as one UTF-8 line (CR LF) to a text file beside the program.
#pragma once

#include <windows.h>

#include <cwchar>

// fileName: the log's name, at most 31 characters. Failures are ignored: the
// log is a diagnostic aid and must never keep the program from running.
inline void AppendCommandLineToLog(const wchar_t* fileName, const wchar_t* commandLine) {
    wchar_t path[MAX_PATH + 32] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || wcslen(fileName) > 31)
        return;
    wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash)
        return;
    // n < MAX_PATH leaves room for 32 more characters behind the slash.
    wcscpy(slash + 1, fileName);

    int bytes = WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    char* line = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(bytes) + 2));
    if (!line)
        return;
    WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, line, bytes, nullptr, nullptr);
    int length = bytes - 1;
    for (int i = 0; i < length; ++i) {
        if (line[i] == '\r' || line[i] == '\n')
            line[i] = ' ';
    }
    line[length] = '\r';
    line[length + 1] = '\n';

    // Appending is atomic per write, so instances started together do not mix lines.
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line, static_cast<DWORD>(length + 2), &written, nullptr);
        CloseHandle(file);
    }
    HeapFree(GetProcessHeap(), 0, line);
}
