#include "engine/install_log_win.h"

#include "engine/product.h"

#include <windows.h>

// FILE_APPEND_DATA alone makes every write go to the end of the file, also
// when another installer appends at the same time.
UniqueFile OpenInstallLog() {
    return UniqueFile(CreateFileW(kLogFileName, FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The entry is written with one call, so that it is never split by another
// writer's entry.
void WriteLogEntry(const wchar_t* text, UniqueFile file) {
    if (!file)
        return;
    wchar_t date[kLogDateChars] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date,
                       static_cast<int>(kLogDateChars)) == 0)
        date[0] = L'\0';
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    wchar_t time[kLogTimeChars] = {};
    FormatLogTime(now.wHour, now.wMinute, now.wSecond, time, kLogTimeChars);

    std::string bytes = FormatLogEntry(date, time, text);
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file.get(), p, chunk, &written, nullptr) || written == 0)
            return;
        p += written;
        left -= written;
    }
}

void AppendInstallLog(const wchar_t* text) {
    WriteLogEntry(text, OpenInstallLog());
}
