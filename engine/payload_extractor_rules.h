// Rules about archive entry names that the payload extraction applies before
// it writes anything. Plain text in, plain answers out; no Windows header.
#pragma once

#include <cstddef>

// Entry names are read into a buffer of this many bytes (terminator included);
// a longer stored name cannot be held and its entry is skipped.
constexpr std::size_t kEntryNameBytes = 520;
// Wide form of an entry name, terminator included (at most 323 characters).
constexpr std::size_t kEntryWideChars = 324;
// Every extracted entry streams through one copy buffer of this size.
constexpr std::size_t kCopyBufferBytes = 32768;

// True when the stored 8-bit name, folded to lower case (ASCII A-Z only),
// contains "icons.dll": the icon library in any folder and any letter case.
bool IsIconsLibraryEntry(const char* entryName);

// The name part of an entry: the text after its last "/" or "\" (the whole
// name when it has no separator; empty for a folder entry such as "Plugins/").
const wchar_t* EntryNamePart(const wchar_t* entryName);

// Length of the folder part: the characters before the last separator
// (0 when the name has no folder part).
std::size_t EntryFolderLength(const wchar_t* entryName);

// True when writing the entry below the current folder stays below it: not
// empty, relative (no leading separator, no drive, no ':' anywhere), no
// component made only of dots and blanks (".", "..", ". ."), no reserved
// device name as a component (CON, NUL, COM1, LPT¹, "nul.txt", ...), and no
// character Windows refuses in file names.
bool IsEntryNameSafe(const wchar_t* entryName);
