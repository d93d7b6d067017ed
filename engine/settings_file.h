// The viewer's settings file "p_lumb64.ini": the keys the installer writes
// (settings folder, language, toolbar) and the final rewrite as UTF-16LE.
// Every failure is silent; nothing here stops an installation.
#pragma once

#include <cstdio>

#include "engine/settings_rules.h"

// Writes the installer's keys through the private-profile functions:
// "INI_Folder" in [Others] of the install folder's file (deleted when iniFolder
// is empty), the German language in the active file, the portable copies in
// the install folder's file, and -- only when the active file has no "Skin"
// in [Toolbar] yet -- the toolbar skin that suits the screen. Both file paths
// must be full paths (a bare name would address the Windows folder); a null
// or empty path leaves its keys unwritten.
void PrepareSettingsFile(const wchar_t* installFolderSettingsFile, const wchar_t* iniFolder,
                         const wchar_t* settingsFile);

// The toolbar skin for the primary display: its full-screen client height
// and its scale from the "DISPLAY" device's dots per inch.
ToolbarChoice ChooseToolbarSkin();

// Rewrites settingsFile as UTF-16LE with byte-order mark and header line.
//
// source is the settings file opened by the caller with _wfopen(path, L"rb")
// (a C runtime FILE* of this executable, positioned at its start); it is
// closed here in every case. A file that starts with a UTF-16 byte-order mark
// is left untouched (1). Otherwise its text is converted from the ANSI code
// page (from UTF-8 when it starts with a UTF-8 byte-order mark) into
// "p_lumb64.ini_temp" beside it, which then replaces the file: 1. An empty
// file stays as it is (1). When the temporary file cannot be made, or any
// read, write or conversion fails, the settings file is not touched, no
// temporary file is left, and the result is 0; a failed final move gives 0
// and leaves both files.
int ConvertSettingsToUnicode(const wchar_t* settingsFile, std::FILE* source);
