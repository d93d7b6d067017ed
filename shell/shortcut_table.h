// What the installation's shortcuts contain: the two desktop shortcuts and the
// start-menu group, planned from the folder text before any file is written.
#pragma once

#include "shell/registration_text.h"

#include <cstddef>

constexpr const wchar_t* kProgramGroupName = L"Pellumbra";

constexpr const wchar_t* kDesktopViewerLinkName = L"Pellumbra 64.lnk";
constexpr const wchar_t* kDesktopViewerDescription = L"Pellumbra 64 - Bildbetrachter";
constexpr const wchar_t* kDesktopThumbnailsLinkName = L"Pellumbra 64 Thumbnails.lnk";
constexpr const wchar_t* kDesktopThumbnailsDescription = L"Pellumbra - Thumbnails";
constexpr const wchar_t* kThumbnailsArgument = L"/thumbs";
constexpr int kThumbnailsIconIndex = 7;

// Versions whose group shortcut of the viewer is removed when the group is made.
constexpr const wchar_t* kEarlierGroupVersions[] = {L"4.65", L"4.62"};

constexpr int kGroupShortcutCount = 9;
constexpr std::size_t kLinkNameChars = 64;

// One shortcut of the group. Empty arguments or icon path: none is set.
struct PlannedShortcut {
    wchar_t FileName[kLinkNameChars];
    wchar_t Target[kBuiltTextChars];
    wchar_t Arguments[kLinkNameChars];
    wchar_t IconPath[kBuiltTextChars];
    int IconIndex;
};

// The group's shortcuts in order: the viewer, its thumbnails mode, the
// uninstaller (left out on Windows 8 and 8.1, class 8), the four text files and
// the help file. Returns how many were planned; 0 when the folder text (ending
// in a backslash) is too long for the targets.
int PlanGroupShortcuts(const wchar_t* folderText, int osClass,
                       PlannedShortcut out[kGroupShortcutCount]);

// The file name of an earlier version's viewer shortcut in the group.
bool BuildEarlierVersionLinkName(const wchar_t* version, wchar_t* out, std::size_t capacity);

// folder, a backslash when it does not end in one, and the file name. False
// (out empty) when it does not fit.
bool ComposeLinkPath(const wchar_t* folder, const wchar_t* fileName, wchar_t* out,
                     std::size_t capacity);
