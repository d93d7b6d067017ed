// The install folder proposed before anybody chose one: the folder of a viewer
// that an earlier installation registered, or Pellumbra under the machine's
// program files folder.
#pragma once

#include <cstddef>

// Registry values read (HKEY_LOCAL_MACHINE) and the texts the folders are made of.
constexpr const wchar_t* kOpenCommandKey = L"SOFTWARE\\Classes\\Pellumbra\\shell\\open\\command";
constexpr const wchar_t* kCurrentVersionKey = L"Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const wchar_t* kProgramFilesValue = L"ProgramFilesDir";
constexpr const wchar_t* kDefaultFolderName = L"Pellumbra";
constexpr const wchar_t* kFallbackInstallFolder = L"C:\\Pellumbra\\";
// Both registry values are read into buffers of this many characters; a value
// that does not fit counts as unreadable.
constexpr std::size_t kLocationValueChars = 260;
constexpr std::size_t kLocationChars = 260;

// The folder of the viewer named by a registered open command (its quoted path
// first, then "%1"), ending in a backslash. 1 and the folder when the command
// names p_lumb64.exe in a folder and the folder fits out, else 0 and an empty out.
int InstallFolderFromOpenCommand(const wchar_t* command, wchar_t* out, std::size_t capacity);

// The default folder from the program files folder: that folder, a backslash
// and "Pellumbra". A missing or empty program files folder, or a result that
// does not fit out, gives "C:\Pellumbra\".
void DefaultFolderFromProgramFiles(const wchar_t* programFiles, wchar_t* out, std::size_t capacity);

// The two registry lookups (install_location_win.cpp).
// 1 and the folder of the registered viewer (ending in a backslash), else 0 and
// an empty out.
int FindExistingInstallFolder(wchar_t* out, std::size_t capacity = kLocationChars);
// Always 1: "<ProgramFilesDir>\Pellumbra" (no final backslash) or "C:\Pellumbra\".
int GetDefaultInstallFolder(wchar_t* out, std::size_t capacity = kLocationChars);
