#include "app/install_location.h"

#include "engine/product.h"
#include "engine/text_buffer.h"

#include <cwchar>

// The viewer path runs from after the opening quote to the next quote. Only a
// path whose file name is p_lumb64.exe counts: an update must never go to the
// folder of some other program that merely mentions the viewer.
int InstallFolderFromOpenCommand(const wchar_t* command, wchar_t* out, std::size_t capacity) {
    if (!out || capacity == 0)
        return 0;
    out[0] = L'\0';
    if (!command || command[0] == L'\0' || !std::wcsstr(command, kViewerExeName))
        return 0;

    const wchar_t* start = command[0] == L'"' ? command + 1 : command;
    const wchar_t* end = std::wcschr(start, L'"');
    if (!end)
        end = start + TextLength(start);
    // An unquoted path is followed by a blank before its arguments.
    while (end > start && end[-1] == L' ')
        --end;

    std::size_t length = static_cast<std::size_t>(end - start);
    std::size_t folderLength = (length >= 2 && start[1] == L':') ? 2 : 0;
    for (std::size_t i = 0; i < length; ++i)
        if (start[i] == L'\\' || start[i] == L'/')
            folderLength = i + 1;

    const std::size_t nameLength = TextLength(kViewerExeName);
    if (folderLength == 0 || length - folderLength != nameLength ||
        std::wcsncmp(start + folderLength, kViewerExeName, nameLength) != 0)
        return 0;

    bool needsBackslash = start[folderLength - 1] != L'\\';
    if (folderLength + (needsBackslash ? 1 : 0) + 1 > capacity)
        return 0;
    CopyTextN(out, capacity, start, folderLength);
    if (needsBackslash)
        AppendText(out, capacity, L"\\");
    return 1;
}

void DefaultFolderFromProgramFiles(const wchar_t* programFiles, wchar_t* out,
                                   std::size_t capacity) {
    if (!out || capacity == 0)
        return;
    CopyText(out, capacity, kFallbackInstallFolder);
    if (!programFiles || programFiles[0] == L'\0')
        return;
    const wchar_t* separator = EndsWith(programFiles, L'\\') ? L"" : L"\\";
    wchar_t folder[kLocationChars];
    if (!FormatText(folder, kLocationChars, L"%ls%ls%ls", programFiles, separator,
                    kDefaultFolderName))
        return;
    if (TextLength(folder) + 1 > capacity)
        return;
    CopyText(out, capacity, folder);
}
