#include "engine/install_driver.h"

#include "engine/path_helpers.h"
#include "engine/text_buffer.h"

#include <cstdlib>
#include <cwchar>
#include <initializer_list>

// Longest payload entry name, measured from the archive by the build; the
// default covers the stand-in payload's names.
#ifndef PEL_LONGEST_PAYLOAD_ENTRY
#define PEL_LONGEST_PAYLOAD_ENTRY 64
#endif

namespace {

constexpr const wchar_t* kMakerName = L"Marrowick";
// Files the driver itself writes below the install folder.
constexpr const wchar_t* kDriverWrittenPaths[] = {
    L"p_lumb64.ini",
    L"p_lumb64.ini_temp",
    L"Plugins\\Icons.dll",
};

}  // namespace

int VersionNumber(const wchar_t* versionText) {
    double leading = std::wcstod(versionText ? versionText : L"", nullptr);
    float narrowed = static_cast<float>(leading);
    float scaled = narrowed * 1000.0f;
    // Out-of-range numbers would make the conversion undefined; no real version
    // record comes near, but a damaged one must not crash the installer.
    if (!(scaled > -2.0e9f && scaled < 2.0e9f))
        return scaled > 0 ? 2000000000 : (scaled < 0 ? -2000000000 : 0);
    return static_cast<int>(scaled);
}

IconsDecision DecideIconsLibrary(int hasVersion, const wchar_t* versionText,
                                 const wchar_t* company) {
    if (!hasVersion)
        return IconsDecision::Replace;
    int number = VersionNumber(versionText);
    if (number > kReferenceIconsVersion)
        return IconsDecision::Keep;
    if (number < kReferenceIconsVersion)
        return EqualsIgnoreAsciiCase(company, kMakerName) ? IconsDecision::Replace
                                                          : IconsDecision::Keep;
    return IconsDecision::DependsOnSize;
}

bool ReplaceIconsOfReferenceVersion(long long sizeOrMinusOne, const wchar_t* company) {
    if (sizeOrMinusOne != kReplaceableIconsSize)
        return false;
    return EqualsIgnoreAsciiCase(company, kMakerName);
}

std::size_t LongestInstalledRelativePath() {
    std::size_t longest = PEL_LONGEST_PAYLOAD_ENTRY;
    for (const wchar_t* p : kDriverWrittenPaths)
        if (TextLength(p) > longest)
            longest = TextLength(p);
    return longest;
}

bool InstallFolderFits(const wchar_t* installFolder, wchar_t* normalised,
                       std::size_t normalisedChars) {
    wchar_t work[kRequestFolderChars + 1] = {};
    CopyText(work, kRequestFolderChars, installFolder);
    TrimSpaces(work);
    if (work[0] != L'\0')
        EnsureTrailingBackslash(work, kRequestFolderChars + 1);
    CopyText(normalised, normalisedChars, work);
    std::size_t length = TextLength(work);
    return length + LongestInstalledRelativePath() <= kPathChars - 1;
}

void ComposeFailureText(bool folderFirst, const wchar_t* message, const wchar_t* folder,
                        wchar_t* out, std::size_t outChars) {
    const wchar_t* first = folderFirst ? folder : message;
    const wchar_t* second = folderFirst ? message : folder;
    if (outChars == 0)
        return;
    // Copy piece by piece, each cut where the buffer ends.
    std::size_t used = 0;
    for (const wchar_t* piece : {first, L": ", second}) {
        if (used + 1 >= outChars)
            break;
        CopyText(out + used, outChars - used, piece);
        used += TextLength(out + used);
    }
    out[used < outChars ? used : outChars - 1] = L'\0';
}
