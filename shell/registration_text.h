// The texts that the shell integration builds from the install folder: the
// folder text, the viewer path, the command lines and the uninstall entry's
// texts. All are built before anything is written, so that a folder too long
// for them stops the whole registration instead of writing cut paths.
#pragma once

#include "shell/file_type_table.h"

#include <cstddef>

// The folder text (trimmed, ending in a backslash) holds 264 units, terminator
// included: a folder of up to 263 characters with its backslash.
constexpr std::size_t kFolderTextChars = 264;

namespace registration_detail {
constexpr std::size_t Length(const wchar_t* text) {
    std::size_t n = 0;
    while (text[n] != L'\0')
        ++n;
    return n;
}
} // namespace registration_detail

// Every text built from the folder text adds at most this much to it: the
// browse command ("<folder>p_lumb64.exe" "%1" /thumbs, both quotation marks
// included) and the help-file target of the start-menu group are the longest.
constexpr std::size_t kLongestFolderAddition =
    registration_detail::Length(L"\"p_lumb64.exe\" \"%1\" /thumbs");

// Viewer path, commands, icon texts and shortcut targets: room for the longest
// folder text and the longest addition.
constexpr std::size_t kBuiltTextChars = 320;
static_assert(kFolderTextChars - 1 + kLongestFolderAddition < kBuiltTextChars,
              "every text built from a folder text fits");
static_assert(registration_detail::Length(L"help\\p_lumb32_deutsch.chm") <= kLongestFolderAddition,
              "the group's longest target fits as well");

constexpr std::size_t kShortTextChars = 64;

struct RegistrationTexts {
    wchar_t FolderText[kFolderTextChars];      // C:\Programme\Pellumbra\ (trailing backslash)
    wchar_t ViewerPath[kBuiltTextChars];       // folder text + p_lumb64.exe
    wchar_t OpenCommand[kBuiltTextChars];      // "viewer" "%1"
    wchar_t BrowseCommand[kBuiltTextChars];    // "viewer" "%1" /thumbs
    wchar_t QuotedViewerPath[kBuiltTextChars]; // "viewer"
    wchar_t UninstallString[kBuiltTextChars];  // "folder text pl_uninstall.exe"
    wchar_t DisplayIcon[kBuiltTextChars];      // viewer,0
    wchar_t DisplayName[kShortTextChars];      // Pellumbra 4.66 (64-bit)
    wchar_t DisplayVersion[kShortTextChars];   // 4.66
    wchar_t IconTexts[kIconSourceCount][kBuiltTextChars]; // by IconSource
};

// Trims the install folder, completes it with a backslash and builds every
// text. False when the folder is empty after trimming or a text would not fit
// its buffer; then nothing may be registered.
bool BuildRegistrationTexts(const wchar_t* installFolder, RegistrationTexts* out);

// The icon text of a row's icon kind among the built texts.
const wchar_t* IconTextFor(const RegistrationTexts& texts, IconSource icon);
