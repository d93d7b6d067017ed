#include "controls/link_command.h"

#include "engine/text_buffer.h"

#include <cwchar>

bool BuildOpenCommandKeyPath(const wchar_t* className, wchar_t* out, std::size_t capacity) {
    if (capacity == 0)
        return false;
    if (!CopyText(out, capacity, className) ||
        !AppendText(out, capacity, L"\\shell\\open\\command")) {
        out[0] = L'\0';
        return false;
    }
    return true;
}

bool BuildOpenCommandLine(const wchar_t* registeredCommand, const wchar_t* target, wchar_t* out,
                          std::size_t capacity) {
    if (capacity == 0)
        return false;
    const wchar_t* command = registeredCommand ? registeredCommand : L"";
    const wchar_t* cut = std::wcsstr(command, L"\"%1\"");
    if (!cut)
        cut = std::wcsstr(command, L"%1");
    std::size_t keep = cut ? static_cast<std::size_t>(cut - command) : TextLength(command);
    if (!CopyTextN(out, capacity, command, keep) || !AppendText(out, capacity, L" ") ||
        !AppendText(out, capacity, target)) {
        out[0] = L'\0';
        return false;
    }
    return true;
}
