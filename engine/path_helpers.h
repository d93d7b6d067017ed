// Path and folder helpers shared by the driver, the shortcuts and the wizard.
// They work in place on fixed wide-character buffers and report failure by a
// 0 result, never by a message.
#pragma once

#include <cstddef>

constexpr std::size_t kPathChars = 260;  // work buffers of the folder helpers

// Removes trailing U+0020 spaces; leading ones too when the text is shorter
// than 260 characters.
void TrimSpaces(wchar_t* text);

// Appends one backslash when the text does not end in one and it fits.
void EnsureTrailingBackslash(wchar_t* text, std::size_t capacity);

// Trims the folder text (a buffer of at least 260 characters), completes it with
// a backslash and creates every missing folder of the chain. 1 when the folder
// exists afterwards, else 0. The current directory is unchanged afterwards.
int CreateFolderTree(wchar_t* folder);

// Expands %NAME% references of the process environment into out (520
// characters). Undefined or empty variables vanish with their percent signs.
void ExpandEnvironmentReferences(const wchar_t* text, wchar_t* out);
