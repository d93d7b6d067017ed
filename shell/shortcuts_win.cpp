#include "shell/shortcuts.h"

#include "engine/path_helpers.h"
#include "engine/text_buffer.h"
#include "engine/win_handles.h"
#include "shell/os_version.h"
#include "shell/shortcut_table.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

// COM for the duration of one shortcut. A thread already initialised in
// another apartment keeps its own initialisation: only a successful
// CoInitialize is balanced.
class ComScope {
  public:
    ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (initialised_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool initialised_;
};

// A shell folder's path (kPathChars). When the shell cannot name it, the Windows
// folder stands in, so that the shortcut still lands somewhere sensible.
void GetShellFolder(int csidl, wchar_t* path) {
    path[0] = L'\0';
    LPITEMIDLIST idList = nullptr;
    if (SHGetSpecialFolderLocation(GetActiveWindow(), csidl, &idList) == S_OK) {
        if (!SHGetPathFromIDListW(idList, path))
            path[0] = L'\0';
        CoTaskMemFree(idList);
    }
    if (path[0] == L'\0') {
        UINT n = GetWindowsDirectoryW(path, static_cast<UINT>(kPathChars));
        if (n == 0 || n >= kPathChars)
            path[0] = L'\0';
    }
}

struct LinkFields {
    const wchar_t* Target;
    const wchar_t* Arguments; // null: none
    const wchar_t* IconPath;  // null: none
    int IconIndex;
    const wchar_t* Description; // null: none
};

// One shortcut with its own COM initialisation. The link's folder is either
// given or, when folder is null, the desktop named by desktopCsidl.
bool SaveShortcut(const wchar_t* folder, int desktopCsidl, const wchar_t* fileName,
                  const LinkFields& fields) {
    if (!fileName || !fields.Target)
        return false;
    ComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())))
        return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())))
        return false;

    wchar_t desktop[kPathChars];
    if (!folder) {
        GetShellFolder(desktopCsidl, desktop);
        folder = desktop;
    }
    wchar_t linkPath[kBuiltTextChars];
    if (!ComposeLinkPath(folder, fileName, linkPath, kBuiltTextChars))
        return false;

    if (fields.IconPath)
        link->SetIconLocation(fields.IconPath, fields.IconIndex);
    link->SetPath(fields.Target);
    if (fields.Arguments)
        link->SetArguments(fields.Arguments);
    if (fields.Description)
        link->SetDescription(fields.Description);
    return SUCCEEDED(file->Save(linkPath, TRUE));
}

const wchar_t* NullIfEmpty(const wchar_t* text) {
    return text && text[0] ? text : nullptr;
}

} // namespace

bool CreateDesktopShortcut(const wchar_t* target, const wchar_t* fileName, const wchar_t* iconPath,
                           const wchar_t* description, const wchar_t* arguments, int iconIndex,
                           int allUsers) {
    LinkFields fields = {target, arguments, iconPath, iconIndex, description};
    return SaveShortcut(nullptr, allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOP, fileName,
                        fields);
}

bool CreateFolderShortcut(const wchar_t* folder, const wchar_t* fileName, const wchar_t* target,
                          const wchar_t* arguments, const wchar_t* iconPath, int iconIndex) {
    if (!folder)
        return false;
    LinkFields fields = {target, arguments, iconPath, iconIndex, nullptr};
    return SaveShortcut(folder, 0, fileName, fields);
}

void WriteGroupShortcuts(const wchar_t* groupFolder, const wchar_t* folderText, int osClass) {
    PlannedShortcut plan[kGroupShortcutCount];
    int count = PlanGroupShortcuts(folderText, osClass, plan);
    for (int i = 0; i < count; ++i) {
        const PlannedShortcut& s = plan[i];
        CreateFolderShortcut(groupFolder, s.FileName, s.Target, NullIfEmpty(s.Arguments),
                             NullIfEmpty(s.IconPath), s.IconIndex);
        if (i != 0)
            continue;
        // The viewer shortcuts of earlier versions carry their version in the
        // name; the new one has just replaced them.
        for (const wchar_t* version : kEarlierGroupVersions) {
            wchar_t name[kLinkNameChars];
            wchar_t path[kBuiltTextChars];
            if (BuildEarlierVersionLinkName(version, name, kLinkNameChars) &&
                ComposeLinkPath(groupFolder, name, path, kBuiltTextChars))
                DeleteFileW(path);
        }
    }
}

void CreateStartMenuGroup(const wchar_t* folderText, int allUsers) {
    wchar_t programs[kPathChars];
    GetShellFolder(allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, programs);
    wchar_t group[kPathChars];
    if (!ComposeLinkPath(programs, kProgramGroupName, group, kPathChars))
        return;
    // A group folder that cannot be made lets its shortcuts fail one by one.
    CreateFolderTree(group);
    WriteGroupShortcuts(group, folderText, GetOsVersionClass());
}
