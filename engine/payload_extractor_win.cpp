#include "engine/payload_extractor_win.h"

#include <iowin32.h>

#include <cwchar>
#include <memory>
#include <new>

#include "engine/payload_extractor_rules.h"
#include "engine/text_buffer.h"
#include "engine/win_handles.h"
#include "resources/resource.h"

namespace {

constexpr std::size_t kTempFolderChars = 519; // GetTempPathW buffer
constexpr std::size_t kTempFileChars = 540;   // folder, backslash, file name
constexpr std::size_t kCurrentFolderChars = 520;

// Closes an archive opened by unzOpen2_64 on every path.
struct ArchiveTraits {
    static unzFile Invalid() { return nullptr; }
    static void Close(unzFile archive) { unzClose(archive); }
};
using UniqueArchive = UniqueHandle<unzFile, ArchiveTraits>;

// Builds "<user temp folder>\plumbg_x64.zip". False when the folder is not
// known or the path does not fit.
bool BuildPayloadTempPath(wchar_t* path, std::size_t capacity) {
    wchar_t folder[kTempFolderChars] = {};
    DWORD length = GetTempPathW(static_cast<DWORD>(kTempFolderChars), folder);
    if (length == 0 || length >= kTempFolderChars)
        return false;
    if (!CopyText(path, capacity, folder))
        return false;
    if (!EndsWith(path, L'\\') && !AppendText(path, capacity, L"\\"))
        return false;
    return AppendText(path, capacity, kPayloadTempFileName);
}

// Writes the resource bytes in one write. A short write leaves a useless
// archive behind, so it counts as a failure and the caller deletes the file.
bool WriteWholeFile(const wchar_t* path, const void* bytes, DWORD size) {
    UniqueFile file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes, size, &written, nullptr) && written == size;
}

// The output file of an entry; other programs may read and write it meanwhile.
HANDLE CreateEntryOutput(const wchar_t* name) {
    return CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Streams the open entry through the copy buffer. False on a read error
// (damaged data) or a write that did not take the whole block.
bool CopyEntryData(unzFile archive, char* buffer, HANDLE output) {
    for (;;) {
        int got = unzReadCurrentFile(archive, buffer, static_cast<unsigned>(kCopyBufferBytes));
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        DWORD written = 0;
        if (!WriteFile(output, buffer, static_cast<DWORD>(got), &written, nullptr) ||
            written != static_cast<DWORD>(got))
            return false;
    }
}

// Extracts the archive's current entry. False ends the walk: the entry's
// info could not be read, or its data was damaged (read, write or CRC error).
// Entries that are left out or cannot be created give true: the next follows.
bool ExtractCurrentEntry(unzFile archive, int keepPaths, int skipIconsLibrary) {
    unz_file_info64 info = {};
    char name[kEntryNameBytes] = {};
    if (unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
        UNZ_OK)
        return false;
    // A stored name of 520 bytes or more arrives cut and unterminated.
    if (info.size_filename >= sizeof name)
        return true;
    if (skipIconsLibrary == 1 && IsIconsLibraryEntry(name))
        return true;

    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBufferBytes]);
    if (!buffer)
        return false;

    wchar_t wideName[kEntryWideChars] = {};
    if (MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, static_cast<int>(kEntryWideChars)) == 0)
        return true;
    if (!IsEntryNameSafe(wideName))
        return true;

    const wchar_t* namePart = EntryNamePart(wideName);
    if (*namePart == L'\0') {
        if (keepPaths)
            CreateEntryFolders(wideName);
        return true;
    }
    const wchar_t* outputName = keepPaths ? wideName : namePart;

    if (unzOpenCurrentFilePassword(archive, nullptr) != UNZ_OK) {
        unzCloseCurrentFile(archive);
        return false;
    }
    UniqueFile output(CreateEntryOutput(outputName));
    std::size_t folderLength = EntryFolderLength(outputName);
    if (!output && folderLength > 0) {
        wchar_t folder[kEntryWideChars] = {};
        CopyTextN(folder, kEntryWideChars, outputName, folderLength);
        CreateEntryFolders(folder);
        output.reset(CreateEntryOutput(outputName));
    }
    if (!output)
        return unzCloseCurrentFile(archive) == UNZ_OK;

    bool copied = CopyEntryData(archive, buffer.get(), output.get());
    output.reset();
    if (!copied) {
        unzCloseCurrentFile(archive);
        return false;
    }
    StampEntryTime(outputName, static_cast<std::uint32_t>(info.dosDate));
    // A completely read entry whose CRC does not match ends the walk here.
    return unzCloseCurrentFile(archive) == UNZ_OK;
}

} // namespace

int ExtractPayload(const wchar_t* targetFolder, int skipIconsLibrary) {
    return ExtractPayloadFromModule(nullptr, targetFolder, skipIconsLibrary);
}

int ExtractPayloadFromModule(HMODULE module, const wchar_t* targetFolder, int skipIconsLibrary) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_PAYLOAD), L"ZIP");
    if (!found)
        return -1;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return -1;
    const void* bytes = LockResource(loaded);
    DWORD size = SizeofResource(module, found);
    if (!bytes || size == 0)
        return -1;

    wchar_t tempPath[kTempFileChars] = {};
    if (!BuildPayloadTempPath(tempPath, kTempFileChars))
        return -1;
    int result = -1;
    if (WriteWholeFile(tempPath, bytes, size))
        result = ExtractArchiveFile(tempPath, targetFolder, skipIconsLibrary);
    DeleteFileW(tempPath);
    return result;
}

int ExtractArchiveFile(const wchar_t* archivePath, const wchar_t* targetFolder,
                       int skipIconsLibrary) {
    zlib_filefunc64_def fileFunctions;
    fill_win32_filefunc64W(&fileFunctions);
    UniqueArchive archive(unzOpen2_64(archivePath, &fileFunctions));
    if (!archive)
        return -1;
    // Reports of a failure go to the folder the installer was started in, so
    // an early end of the walk returns there.
    wchar_t previous[kCurrentFolderChars] = {};
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(kCurrentFolderChars), previous);
    bool known = length > 0 && length < kCurrentFolderChars;
    if (!targetFolder || !SetCurrentDirectoryW(targetFolder))
        return -1;
    int result = ExtractAllEntries(archive.get(), 1, skipIconsLibrary);
    if (result != 0 && known)
        SetCurrentDirectoryW(previous);
    return result;
}

int ExtractAllEntries(unzFile archive, int keepPaths, int skipIconsLibrary) {
    // A walk that ends early leaves an incomplete installation behind: the
    // caller must not take it for a finished one.
    unz_global_info64 global = {};
    if (unzGetGlobalInfo64(archive, &global) != UNZ_OK)
        return -1;
    for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
        if (!ExtractCurrentEntry(archive, keepPaths, skipIconsLibrary))
            return -1;
        if (i + 1 < global.number_entry && unzGoToNextFile(archive) != UNZ_OK)
            return -1;
    }
    return 0;
}

int CreateEntryFolders(const wchar_t* folderPath) {
    if (!folderPath || folderPath[0] == L'\0')
        return 0;
    wchar_t copy[kEntryWideChars];
    if (!CopyText(copy, kEntryWideChars, folderPath))
        return -104;
    std::size_t length = std::wcslen(copy);
    if (copy[length - 1] == L'/')
        copy[--length] = L'\0';
    if (length == 0)
        return 0;
    if (CreateDirectoryW(copy, nullptr))
        return 1;
    // Walk the chain from its top; an existing folder is fine, a missing
    // parent means the chain cannot be made.
    for (std::size_t i = 1;; ++i) {
        wchar_t c = copy[i];
        if (c == L'\0' || c == L'\\' || c == L'/') {
            copy[i] = L'\0';
            if (!CreateDirectoryW(copy, nullptr) && GetLastError() == ERROR_PATH_NOT_FOUND)
                return 0;
            if (c == L'\0')
                return 1;
            copy[i] = c;
        }
    }
}

void StampEntryTime(const wchar_t* fileName, std::uint32_t dosDateTime) {
    UniqueFile file(CreateFileW(fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    FILETIME created, accessed, written;
    bool haveAccess = GetFileTime(file.get(), &created, &accessed, &written) != FALSE;
    FILETIME local, stamp;
    if (!DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local) ||
        !LocalFileTimeToFileTime(&local, &stamp))
        return;
    SetFileTime(file.get(), &stamp, haveAccess ? &accessed : nullptr, &stamp);
}
