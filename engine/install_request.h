// The choices that drive one installation.
//
// Filled by the wizard's ready page or by the silent command line, then handed
// to InstallDriver, which installs from it and from nothing else.
#pragma once

constexpr int kRequestFolderChars = 520;   // InstallFolder and IniFolder buffers
constexpr int kAssociationFlagCount = 64;  // 63 table rows; element 63 has no row
constexpr int kCaptionChars = 64;

struct InstallRequest {
    wchar_t InstallFolder[kRequestFolderChars];
    int CreateGroup;
    int CreateDesktopLink;
    int CreateThumbnailsLink;
    int AllUsers;
    wchar_t IniFolder[kRequestFolderChars];  // in-out: the driver may write a default
    int AssociationFlags[kAssociationFlagCount];
    int AnyAssociation;
    int Silent;
    wchar_t Caption[kCaptionChars];
};

// Zeroes every field and sets Caption to "Pellumbra 64-bit Setup".
void ClearInstallRequest(InstallRequest& request);
