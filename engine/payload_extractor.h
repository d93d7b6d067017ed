// Unpacks the viewer's payload archive, carried as resource "ZIP" 1974 of the
// installer itself, into the install folder.
//
// The resource is written to "plumbg_x64.zip" in the user's temporary folder,
// opened with minizip and every entry is streamed below the target folder
// through one 32768-byte buffer. The temporary file is always deleted. After
// a successful extraction the process's current directory is the target
// folder.
#pragma once

#include <cstdint>

// Name of the temporary copy of the payload in the user's temporary folder.
constexpr const wchar_t* kPayloadTempFileName = L"plumbg_x64.zip";

// Extracts the own module's payload into targetFolder (a folder text ending in
// a backslash). skipIconsLibrary == 1 leaves every entry whose name contains
// "icons.dll" (any case, any folder) unwritten. 0 when the archive was opened
// and walked to its end -- single files that could not be created (a locked
// file) are skipped and do not change that -- and -1 when extraction did not
// start (resource missing or empty, temporary file not writable, archive not
// readable, target folder not enterable) or ended early at a damaged entry or
// a failed write (read, CRC or write error, a full disk): the entries before
// it stay written.
int ExtractPayload(const wchar_t* targetFolder, int skipIconsLibrary);

// The extract-all step on an archive file that already exists: open it, enter
// targetFolder, extract every entry, close it. 0 or -1 as ExtractPayload.
// targetFolder stays the current directory after a complete walk; after an
// early end the previous current directory is entered again. The archive file
// is not deleted.
int ExtractArchiveFile(const wchar_t* archivePath, const wchar_t* targetFolder,
                       int skipIconsLibrary);

// Creates the folder chain of an entry, relative to the current directory or
// absolute ("a/b/" and "a\b" both work; one trailing "/" is ignored). 0 for an
// empty path or when a folder could not be created because its parent was
// missing, -104 when the path does not fit the 324-character work copy, else 1
// (folders that exist already, or refuse creation otherwise, are passed over).
int CreateEntryFolders(const wchar_t* folderPath);

// Sets the file's creation and last-write times to the archive's DOS stamp
// (date in the high 16 bits, time in the low 16 bits), taken as local time;
// the last-access time is kept. A file that cannot be opened is left alone.
void StampEntryTime(const wchar_t* fileName, std::uint32_t dosDateTime);
