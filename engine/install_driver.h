// The installation driver: one whole installation from an InstallRequest, in
// fixed stages. The only place where the installer changes the machine.
#pragma once

#include "engine/install_request.h"

#include <cstddef>

// Performs the installation. 1 when the payload was unpacked and the later
// stages ran (their failures are silent), 0 after a failure of the first three
// stages, which the driver has already reported: a message box in wizard mode,
// a log entry in silent mode. May write a default into request.IniFolder
// (silent mode only) and clear the association choice when the user answers
// No to the association question (wizard mode).
int InstallDriver(InstallRequest& request);

// Reads the version record of a file: text "%d.%d%d" from the product version's
// major and minor and the file version's third component (4.30 for product 4.3
// with file version x.x.0.x), and the "CompanyName" of block "040904E4" when
// company is given. 1 when the file has a fixed version record, else 0.
int QueryFileVersion(const wchar_t* path, wchar_t* version, std::size_t versionChars,
                     wchar_t* company, std::size_t companyChars);

// ---- rules without Windows calls -------------------------------------------

// The size of the maker's own icon library of version 4.30 that may be replaced.
constexpr long long kReplaceableIconsSize = 226816;
constexpr int kReferenceIconsVersion = 4300;  // "4.30"

// The leading decimal number of a version text, narrowed to single precision,
// times 1000 in single precision, truncated: "4.30" gives 4300, "4.100" 4100.
int VersionNumber(const wchar_t* versionText);

// What the version of an existing icon library asks of the extraction.
enum class IconsDecision {
    Replace,        // unpack the archive's copy over it
    Keep,           // leave the existing file and skip the archive entry
    DependsOnSize,  // version 4.30: replace only the maker's own file of 226816 bytes
};
// hasVersion: QueryFileVersion succeeded. company: its company text.
IconsDecision DecideIconsLibrary(int hasVersion, const wchar_t* versionText,
                                 const wchar_t* company);
// The size step of the rule (sizeOrMinusOne -1: the file could not be opened).
bool ReplaceIconsOfReferenceVersion(long long sizeOrMinusOne, const wchar_t* company);

// The longest path the installation writes below the install folder (payload
// entries, settings file and its temporary copy), in characters.
std::size_t LongestInstalledRelativePath();

// Install folders whose normalised text (trimmed, ending in a backslash) plus the
// longest path written below them would pass 259 characters are refused as
// invalid before anything is written. normalised receives that text (cut to
// fit its buffer). True when the folder is acceptable.
bool InstallFolderFits(const wchar_t* installFolder, wchar_t* normalised,
                       std::size_t normalisedChars);

// The log text of a failure: "message: folder" for messages 5 and 11,
// "folder: message" for message 7. Cut to fit out (519 characters and the
// terminator), never overflowing it.
void ComposeFailureText(bool folderFirst, const wchar_t* message, const wchar_t* folder,
                        wchar_t* out, std::size_t outChars);
