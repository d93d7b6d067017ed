#include "engine/install_driver.h"

#include "app/install_location.h"
#include "engine/install_log.h"
#include "engine/messages.h"
#include "engine/path_helpers.h"
#include "engine/payload_extractor.h"
#include "engine/product.h"
#include "engine/settings_file.h"
#include "engine/text_buffer.h"
#include "engine/win_handles.h"
#include "resources/resource.h"
#include "shell/shell_registration.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr std::size_t kLogTextChars = 520;
constexpr std::size_t kMessageChars = 1024;
constexpr std::size_t kVersionChars = 32;
constexpr std::size_t kCompanyChars = 260;
// The settings folder text holds 264 characters; the file name goes after it.
constexpr std::size_t kSettingsFolderChars = 264;
constexpr std::size_t kSettingsFileChars = kSettingsFolderChars + 16;
constexpr const wchar_t* kSettingsFileName = L"p_lumb64.ini";
constexpr const wchar_t* kSettingsTempName = L"p_lumb64.ini_temp";

// Reports a failure of the first three stages: a message box in wizard mode, a
// log entry in silent mode.
void ReportFailure(const InstallRequest& request, unsigned messageId, const wchar_t* folder) {
    wchar_t message[kMessageChars];
    LoadMessage(messageId, message, kMessageChars);
    if (!request.Silent) {
        MessageBoxW(GetActiveWindow(), message, request.Caption, MB_OK | MB_ICONERROR);
        return;
    }
    wchar_t text[kLogTextChars];
    ComposeFailureText(messageId == IDS_INSTALL_FAILED, message, folder, text, kLogTextChars);
    AppendInstallLog(text);
}

// The size of a file in bytes, or -1 when it cannot be opened for reading.
long long FileSizeOrMinusOne(const wchar_t* path) {
    UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return -1;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size))
        return -1;
    return size.QuadPart;
}

// Stage 2: whether the archive's icon library may overwrite the existing one.
bool ShouldExtractIcons(const wchar_t* iconsPath) {
    wchar_t version[kVersionChars] = {};
    wchar_t company[kCompanyChars] = {};
    int hasVersion = QueryFileVersion(iconsPath, version, kVersionChars, company, kCompanyChars);
    switch (DecideIconsLibrary(hasVersion, version, company)) {
    case IconsDecision::Replace:
        return true;
    case IconsDecision::Keep:
        return false;
    case IconsDecision::DependsOnSize:
        break;
    }
    return ReplaceIconsOfReferenceVersion(FileSizeOrMinusOne(iconsPath), company);
}

// Stage 4: where the settings live, and their preparation. Returns the active
// settings file in settingsFile.
void PrepareSettings(InstallRequest& request, wchar_t* settingsFile, std::size_t settingsChars) {
    // Built from the request's own folder text, not the one normalised in stage 1.
    wchar_t work[kRequestFolderChars + 1] = {};
    CopyText(work, kRequestFolderChars, request.InstallFolder);
    TrimSpaces(work);
    wchar_t settingsFolder[kSettingsFolderChars] = {};
    CopyText(settingsFolder, kSettingsFolderChars, work);
    EnsureTrailingBackslash(settingsFolder, kSettingsFolderChars);
    wchar_t installFolderSettingsFile[kSettingsFileChars] = {};
    FormatText(installFolderSettingsFile, kSettingsFileChars, L"%ls%ls", settingsFolder,
               kSettingsFileName);

    if (request.Silent && request.IniFolder[0] == L'\0') {
        wchar_t defaultFolder[kLocationChars] = {};
        GetDefaultInstallFolder(defaultFolder, kLocationChars);
        if (std::wcsstr(request.InstallFolder, defaultFolder))
            CopyText(request.IniFolder, kRequestFolderChars, kDefaultIniFolder);
    }

    const wchar_t* iniFolder = request.IniFolder;
    CopyText(settingsFile, settingsChars, installFolderSettingsFile);
    if (iniFolder[0] != L'\0') {
        wchar_t expanded[kExpandedChars] = {};
        ExpandEnvironmentReferences(iniFolder, expanded);
        wchar_t folder[kPathChars] = {};
        // A folder that expands to nothing, or too long to hold the settings
        // file and its temporary copy, cannot serve: the settings then stay in
        // the install folder rather than in an unusable or relative place.
        bool usable = expanded[0] != L'\0' && CopyText(folder, kPathChars, expanded);
        if (usable) {
            CreateFolderTree(folder);
            usable = folder[0] != L'\0' && EndsWith(folder, L'\\') &&
                     TextLength(folder) + TextLength(kSettingsTempName) <= kPathChars - 1;
        }
        if (usable)
            FormatText(settingsFile, settingsChars, L"%ls%ls", folder, kSettingsFileName);
        else
            iniFolder = L"";
    }
    PrepareSettingsFile(installFolderSettingsFile, iniFolder, settingsFile);
}

}  // namespace

int QueryFileVersion(const wchar_t* path, wchar_t* version, std::size_t versionChars,
                     wchar_t* company, std::size_t companyChars) {
    if (version && versionChars)
        version[0] = L'\0';
    if (company && companyChars)
        company[0] = L'\0';
    wchar_t dll[MAX_PATH] = {};
    UINT n = GetSystemDirectoryW(dll, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 0;
    EnsureTrailingBackslash(dll, MAX_PATH);
    if (!AppendText(dll, MAX_PATH, L"version.dll"))
        return 0;
    UniqueModule module(LoadLibraryW(dll));
    if (!module)
        return 0;
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    auto getSize = reinterpret_cast<SizeFn>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "GetFileVersionInfoSizeW")));
    auto getInfo = reinterpret_cast<InfoFn>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "GetFileVersionInfoW")));
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "VerQueryValueW")));
    if (!getSize || !getInfo || !query)
        return 0;
    DWORD size = getSize(path, nullptr);
    if (size == 0)
        return 0;
    // Twice the size: the ANSI part of the record may be converted in place.
    void* block = std::calloc(2, size);
    if (!block)
        return 0;
    int result = 0;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (getInfo(path, 0, size, block) &&
        query(block, L"\\", reinterpret_cast<void**>(&fixed), &fixedLength) && fixed &&
        fixedLength >= sizeof(VS_FIXEDFILEINFO)) {
        if (version && versionChars)
            FormatText(version, versionChars, L"%d.%d%d", HIWORD(fixed->dwProductVersionMS),
                       LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwFileVersionLS));
        if (company && companyChars) {
            wchar_t* value = nullptr;
            UINT valueLength = 0;
            if (query(block, L"\\StringFileInfo\\040904E4\\CompanyName",
                      reinterpret_cast<void**>(&value), &valueLength) &&
                value) {
                std::size_t limit = companyChars - 1 < 259 ? companyChars - 1 : 259;
                if (valueLength < limit)
                    limit = valueLength;
                CopyTextN(company, companyChars, value, limit);
            }
        }
        result = 1;
    }
    std::free(block);
    return result;
}

int InstallDriver(InstallRequest& request) {
    // Stage 1: the install folder.
    if (request.InstallFolder[0] == L'\0') {
        ReportFailure(request, IDS_INVALID_FOLDER, L"");
        return 0;
    }
    wchar_t normalised[kRequestFolderChars] = {};
    if (!InstallFolderFits(request.InstallFolder, normalised, kRequestFolderChars)) {
        ReportFailure(request, IDS_INVALID_FOLDER, normalised);
        return 0;
    }
    // The folder fits its 260-character buffer once trimmed; a text of spaces
    // only trims to nothing and fails below (message 11, not 5).
    wchar_t folder[kPathChars] = {};
    {
        wchar_t trimmed[kRequestFolderChars] = {};
        CopyText(trimmed, kRequestFolderChars, request.InstallFolder);
        TrimSpaces(trimmed);
        CopyText(folder, kPathChars, trimmed);
    }
    if (!CreateFolderTree(folder)) {
        ReportFailure(request, IDS_CANNOT_CREATE, folder);
        return 0;
    }

    // Stage 2: the Plugins folder and the icon library.
    wchar_t plugins[kPathChars] = {};
    FormatText(plugins, kPathChars, L"%lsPlugins", folder);
    CreateFolderTree(plugins);
    wchar_t iconsPath[kPathChars] = {};
    FormatText(iconsPath, kPathChars, L"%lsIcons.dll", plugins);
    int skipIconsLibrary = ShouldExtractIcons(iconsPath) ? 0 : 1;

    // Stage 3: the payload. From here on nothing stops the installation.
    if (ExtractPayload(folder, skipIconsLibrary) != 0) {
        ReportFailure(request, IDS_INSTALL_FAILED, folder);
        return 0;
    }

    // Stage 4: the settings file.
    wchar_t settingsFile[kSettingsFileChars] = {};
    PrepareSettings(request, settingsFile, kSettingsFileChars);

    // Stage 5: the association question. No leaves every file type as it is:
    // the installation goes on as if none had been selected.
    if (request.AnyAssociation && !request.Silent) {
        wchar_t question[kMessageChars];
        LoadMessage(IDS_ASSOC_QUESTION, question, kMessageChars);
        if (MessageBoxW(GetActiveWindow(), question, request.Caption,
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDNO) {
            for (int& flag : request.AssociationFlags)
                flag = 0;
            request.AnyAssociation = 0;
        }
    }

    // Stage 6: shortcuts and registry.
    RegisterShellIntegration(request.AnyAssociation, request.InstallFolder, request.CreateGroup,
                             request.CreateDesktopLink, request.CreateThumbnailsLink,
                             request.AllUsers, request.AssociationFlags);

    // Stage 7: the active settings file in UTF-16.
    if (FILE* settings = _wfopen(settingsFile, L"rb"))
        ConvertSettingsToUnicode(settingsFile, settings);
    return 1;
}
