// The installation's shortcut files: the viewer and its thumbnails mode on the
// desktop, and the start-menu program group. Failures are never reported: a
// shortcut that cannot be made is simply missing.
#pragma once

// Saves fileName on the desktop (the common desktop when allUsers is non-zero).
// Null iconPath, description or arguments are left unset. True when saved.
bool CreateDesktopShortcut(const wchar_t* target, const wchar_t* fileName, const wchar_t* iconPath,
                           const wchar_t* description, const wchar_t* arguments, int iconIndex,
                           int allUsers);

// Saves folder + fileName (folder ends in a backslash). Null arguments or
// iconPath are left unset. True when saved.
bool CreateFolderShortcut(const wchar_t* folder, const wchar_t* fileName, const wchar_t* target,
                          const wchar_t* arguments, const wchar_t* iconPath, int iconIndex);

// Creates the program group "Pellumbra" in the programs folder of the start menu
// (the common one when allUsers is non-zero) and its shortcuts into the install
// folder given by folderText (ending in a backslash).
void CreateStartMenuGroup(const wchar_t* folderText, int allUsers);

// The group's shortcuts in an existing group folder (ending in a backslash):
// the viewer, then the earlier versions' viewer shortcuts are removed, then the
// rest; the uninstaller shortcut is left out on class 8.
void WriteGroupShortcuts(const wchar_t* groupFolder, const wchar_t* folderText, int osClass);
