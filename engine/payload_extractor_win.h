// The Windows side of the payload extraction: the pieces the driver does not
// call directly but tests and measurements need (a module of choice, an
// archive opened by the caller).
#pragma once

#include <windows.h>

#include <unzip.h>

#include "engine/payload_extractor.h"

// ExtractPayload with the "ZIP" 1974 resource of the given module (nullptr:
// the process's own executable). Same results as ExtractPayload.
int ExtractPayloadFromModule(HMODULE module, const wchar_t* targetFolder, int skipIconsLibrary);

// Writes every entry of the open archive below the current directory, in
// archive order. keepPaths == 0 writes each file under its name part alone
// and leaves folder entries out. Entries that would land outside the current
// directory, and names that do not fit the name buffers, are skipped. A read,
// write, CRC or open error of an entry ends the walk early and gives -1;
// otherwise 0.
int ExtractAllEntries(unzFile archive, int keepPaths, int skipIconsLibrary);
