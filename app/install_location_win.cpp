#include "app/install_location.h"

#include "engine/win_handles.h"

#include <windows.h>

namespace {

// Reads a registry value as text into a buffer of kLocationValueChars
// characters, whatever its type. A value that does not fit with its
// terminator, or an empty one, counts as unreadable.
bool ReadMachineText(const wchar_t* keyPath, const wchar_t* valueName, wchar_t* out) {
    out[0] = L'\0';
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    wchar_t value[kLocationValueChars] = {};
    DWORD bytes = sizeof value;
    if (RegQueryValueExW(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                         &bytes) != ERROR_SUCCESS)
        return false;
    std::size_t chars = bytes / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < chars && value[length] != L'\0')
        ++length;
    if (length >= kLocationValueChars || length == 0)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        out[i] = value[i];
    out[length] = L'\0';
    return true;
}

} // namespace

int FindExistingInstallFolder(wchar_t* out, std::size_t capacity) {
    if (!out || capacity == 0)
        return 0;
    out[0] = L'\0';
    wchar_t command[kLocationValueChars];
    if (!ReadMachineText(kOpenCommandKey, nullptr, command))
        return 0;
    return InstallFolderFromOpenCommand(command, out, capacity);
}

int GetDefaultInstallFolder(wchar_t* out, std::size_t capacity) {
    wchar_t programFiles[kLocationValueChars];
    bool found = ReadMachineText(kCurrentVersionKey, kProgramFilesValue, programFiles);
    DefaultFolderFromProgramFiles(found ? programFiles : nullptr, out, capacity);
    return 1;
}
