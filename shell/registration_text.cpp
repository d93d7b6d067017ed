#include "shell/registration_text.h"

#include "engine/install_request.h"
#include "engine/path_helpers.h"
#include "engine/product.h"
#include "engine/text_buffer.h"

namespace {

constexpr IconSource kIconSources[kIconSourceCount] = {
    IconSource::Self, IconSource::ViewerIcon0, IconSource::ViewerIcon9, IconSource::ViewerIcon8};

int IconSlot(IconSource icon) {
    for (int i = 0; i < kIconSourceCount; ++i)
        if (kIconSources[i] == icon)
            return i;
    return 0;
}

// The folder is trimmed in a work buffer as large as the request's, so that
// surrounding blanks do not count against the folder text's room.
bool BuildFolderText(const wchar_t* installFolder, wchar_t* folderText) {
    wchar_t work[kRequestFolderChars];
    if (!CopyText(work, kRequestFolderChars, installFolder))
        return false;
    TrimSpaces(work);
    if (work[0] == L'\0')
        return false;
    if (!EndsWith(work, L'\\') && !AppendText(work, kRequestFolderChars, L"\\"))
        return false;
    return CopyText(folderText, kFolderTextChars, work);
}

} // namespace

bool BuildRegistrationTexts(const wchar_t* installFolder, RegistrationTexts* out) {
    if (!installFolder || !out)
        return false;
    *out = RegistrationTexts{};
    const std::size_t n = kBuiltTextChars;
    bool ok =
        BuildFolderText(installFolder, out->FolderText) &&
        FormatText(out->ViewerPath, n, L"%ls%ls", out->FolderText, kViewerExeName) &&
        FormatText(out->OpenCommand, n, L"\"%ls\" \"%%1\"", out->ViewerPath) &&
        FormatText(out->BrowseCommand, n, L"%ls /thumbs", out->OpenCommand) &&
        FormatText(out->QuotedViewerPath, n, L"\"%ls\"", out->ViewerPath) &&
        FormatText(out->UninstallString, n, L"\"%ls%ls\"", out->FolderText, kUninstallerExeName) &&
        FormatText(out->DisplayIcon, n, L"%ls,0", out->ViewerPath) &&
        FormatText(out->DisplayName, kShortTextChars, L"Pellumbra %d.%d (64-bit)",
                   kViewerVersionMajor, kViewerVersionMinor) &&
        FormatText(out->DisplayVersion, kShortTextChars, L"%d.%d", kViewerVersionMajor,
                   kViewerVersionMinor);
    for (int i = 0; ok && i < kIconSourceCount; ++i)
        ok = BuildIconText(kIconSources[i], out->ViewerPath, out->IconTexts[i], n);
    if (!ok)
        *out = RegistrationTexts{};
    return ok;
}

const wchar_t* IconTextFor(const RegistrationTexts& texts, IconSource icon) {
    return texts.IconTexts[IconSlot(icon)];
}
