#include "shell/shell_registration.h"

#include "engine/product.h"
#include "engine/win_handles.h"
#include "shell/associations.h"
#include "shell/registration_text.h"
#include "shell/registry_values_win.h"
#include "shell/shortcut_table.h"
#include "shell/shortcuts.h"

// The registration is meant for the 64-bit registry view, the one a 64-bit
// process reaches without redirection.
static_assert(sizeof(void*) == 8, "the shell integration must be built as a 64-bit program");

namespace {

constexpr const wchar_t* kBrowseVerb = L"Durchsuchen mit &Pellumbra";
constexpr const wchar_t* kUninstallKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellumbra64";
constexpr const wchar_t* kApplicationsKey = L"Applications\\p_lumb64.exe";
constexpr const wchar_t* kCapabilitiesKey = L"SOFTWARE\\Pellumbra\\Capabilities";
constexpr DWORD kEstimatedSizeKilobytes = 8192;

// "Durchsuchen mit &Pellumbra" on folders and drives, for the thumbnails mode.
void WriteBrowseVerbs(const RegistrationTexts& texts) {
    for (const wchar_t* target : {L"Directory", L"Drive"}) {
        wchar_t verbKey[kBuiltTextChars];
        wchar_t commandKey[kBuiltTextChars];
        if (!FormatText(verbKey, kBuiltTextChars, L"SOFTWARE\\Classes\\%ls\\shell\\%ls", target,
                        kBrowseVerb) ||
            !FormatText(commandKey, kBuiltTextChars, L"%ls\\command", verbKey))
            continue;
        SetDefaultValue(HKEY_LOCAL_MACHINE, verbKey, kBrowseVerb);
        SetDefaultValue(HKEY_LOCAL_MACHINE, commandKey, texts.BrowseCommand);
    }
}

// The generic class "Pellumbra" (read back by a later installation to find this
// folder) and the open-with entry. The class deliberately has no icon.
void WriteViewerClass(const RegistrationTexts& texts) {
    SetDefaultValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pellumbra", L"Pellumbra");
    SetDefaultValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pellumbra\\shell\\open\\command",
                    texts.OpenCommand);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pellumbra\\DefaultIcon");
    SetDefaultValue(HKEY_CLASSES_ROOT, L"Applications\\p_lumb64.exe\\shell\\open\\command",
                    texts.OpenCommand);
    UniqueRegKey application;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kApplicationsKey, 0, KEY_ALL_ACCESS, application.put()) ==
        ERROR_SUCCESS)
        SetStringValue(application.get(), L"FriendlyAppName", L"Pellumbra 64-bit");
}

// The entry in the list of installed programs; exactly these nine values.
void WriteUninstallEntry(const RegistrationTexts& texts) {
    SetDefaultValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"");
    UniqueRegKey entry;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, entry.put()) !=
        ERROR_SUCCESS)
        return;
    HKEY key = entry.get();
    SetStringValue(key, L"DisplayName", texts.DisplayName);
    SetStringValue(key, L"UninstallString", texts.UninstallString);
    SetStringValue(key, L"Publisher", L"Marrowick");
    SetStringValue(key, L"InstallLocation", texts.FolderText);
    SetStringValue(key, L"DisplayVersion", texts.DisplayVersion);
    SetStringValue(key, L"DisplayIcon", texts.DisplayIcon);
    SetDwordValue(key, L"VersionMajor", kViewerVersionMajor);
    SetDwordValue(key, L"VersionMinor", kViewerVersionMinor);
    SetDwordValue(key, L"EstimatedSize", kEstimatedSizeKilobytes);
}

// The application key with its default-programs capabilities, and its line in
// "RegisteredApplications" (opened, never created).
void WriteApplicationKey(const RegistrationTexts& texts) {
    {
        UniqueRegKey application;
        RegCreateKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellumbra", application.put());
    }
    SetDefaultValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellumbra\\shell\\open\\command",
                    texts.QuotedViewerPath);
    {
        UniqueRegKey capabilities;
        if (RegCreateKeyW(HKEY_LOCAL_MACHINE, kCapabilitiesKey, capabilities.put()) ==
            ERROR_SUCCESS)
            SetStringValue(capabilities.get(), L"ApplicationDescription",
                           L"Picture viewer, editor and converter - one of the most popular "
                           L"viewers worldwide");
    }
    {
        UniqueRegKey associations;
        RegCreateKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellumbra\\Capabilities\\FileAssociations",
                      associations.put());
    }
    UniqueRegKey registered;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RegisteredApplications", 0, KEY_SET_VALUE,
                      registered.put()) == ERROR_SUCCESS)
        SetStringValue(registered.get(), L"Pellumbra", kCapabilitiesKey);
}

} // namespace

int RegisterShellIntegration(int anyAssociation, const wchar_t* installFolder, int createGroup,
                             int createDesktopLink, int createThumbnailsLink, int allUsers,
                             const int associationFlags[kAssociationFlagCount]) {
    // Every text is built before the first write: a folder too long for them
    // leaves the machine untouched rather than half registered with cut paths.
    RegistrationTexts texts;
    if (!BuildRegistrationTexts(installFolder, &texts))
        return 0;
    if (createGroup)
        CreateStartMenuGroup(texts.FolderText, allUsers);
    if (createDesktopLink)
        CreateDesktopShortcut(texts.ViewerPath, kDesktopViewerLinkName, nullptr,
                              kDesktopViewerDescription, nullptr, 0, allUsers);
    if (createThumbnailsLink) {
        CreateDesktopShortcut(texts.ViewerPath, kDesktopThumbnailsLinkName, texts.ViewerPath,
                              kDesktopThumbnailsDescription, kThumbnailsArgument,
                              kThumbnailsIconIndex, allUsers);
        WriteBrowseVerbs(texts);
    }
    WriteViewerClass(texts);
    WriteUninstallEntry(texts);
    WriteApplicationKey(texts);
    RegisterFileTypes(texts, associationFlags);
    if (anyAssociation)
        RefreshShellAssociations();
    return 1;
}
