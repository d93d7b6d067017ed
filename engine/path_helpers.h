// Path and folder helpers shared by the driver, the shortcuts and the wizard.
// They work in place on fixed wide-character buffers and report failure by a
// 0 result, never by a message.
#pragma once

#include <cstddef>

constexpr std::size_t kPathChars = 260;     // work buffers of the folder helpers
constexpr std::size_t kExpandedChars = 520; // output of ExpandEnvironmentReferences

// Removes trailing U+0020 spaces; leading ones too when the text is shorter
// than 260 characters.
void TrimSpaces(wchar_t* text);

// Appends one backslash when the text does not end in one and it fits.
void EnsureTrailingBackslash(wchar_t* text, std::size_t capacity);

// Trims the folder text (a buffer of at least 260 characters), completes it with
// a backslash and creates every missing folder of the chain. 1 when the folder
// exists afterwards, else 0. The current directory is unchanged afterwards.
// A text that cannot end in a backslash within 259 characters is refused (0)
// and nothing is created.
int CreateFolderTree(wchar_t* folder);

// Expands %NAME% references of the process environment into out (520
// characters). Undefined or empty variables vanish with their percent signs.
// A text that cannot be expanded safely (a name over 260 or a value over 259
// characters, a result over 519 characters) leaves out empty.
void ExpandEnvironmentReferences(const wchar_t* text, wchar_t* out);

// The two folder operations CreateFolderTree needs, so that the component walk
// can run over any file system. The Windows edge supplies the real ones.
class FolderOperations {
  public:
    virtual ~FolderOperations() = default;
    // Creates one folder; every error is ignored (a drive root or an existing
    // folder simply fails).
    virtual void CreateOneFolder(const wchar_t* path) = 0;
    // True when the folder can be made the current directory. The current
    // directory is the same afterwards.
    virtual bool CanEnterFolder(const wchar_t* path) = 0;
};

int CreateFolderTree(wchar_t* folder, FolderOperations& folders);

// Reads one environment variable, with the result convention of
// GetEnvironmentVariableW: 0 when undefined or empty, the length when the value
// fits into capacity characters (terminator included), else the size needed.
class EnvironmentLookup {
  public:
    virtual ~EnvironmentLookup() = default;
    virtual std::size_t Read(const wchar_t* name, wchar_t* value, std::size_t capacity) = 0;
};

// As ExpandEnvironmentReferences, over the given environment. 1 when expanded,
// 0 when refused (out is then empty).
int ExpandEnvironmentReferences(const wchar_t* text, wchar_t* out, EnvironmentLookup& environment);
