// The Windows side of the installation log: the file itself.
#pragma once

#include "engine/install_log.h"
#include "engine/win_handles.h"

// Opens "Pellumbra_Install.log" in the current directory for appending,
// creating it when missing. An invalid handle when that fails.
UniqueFile OpenInstallLog();

// Writes one entry (the dated report line and the separator) to the open log
// and closes it. Write errors are ignored.
void WriteLogEntry(const wchar_t* text, UniqueFile file);
