// Dumps a registry subtree as sorted text lines, for comparing the complete
// result of a registration against an expected listing.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One line per key ("[path]") and per value ("[path] name = TYPE(bytes) data"),
// sorted. Paths are relative to root\path. REG_SZ data is shown as text with
// its byte count, so a missing or extra terminator shows; REG_DWORD as decimal;
// other types as hex bytes. The default value's name is shown as "@".
std::vector<std::string> DumpRegistryTree(HKEY root, const std::wstring& path);
