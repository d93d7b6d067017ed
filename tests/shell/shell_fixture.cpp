#include "shell_fixture.h"

#include "support/folder_fixture.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

namespace {

constexpr const wchar_t* kUserFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const wchar_t* kMachineFolders =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

struct FolderSetting {
    ShellFolder Folder;
    bool Machine;
    const wchar_t* ValueName;
    const wchar_t* SubFolder;
};
const FolderSetting kSettings[] = {
    {ShellFolder::Desktop, false, L"Desktop", L"Desktop"},
    {ShellFolder::Programs, false, L"Programs", L"Programs"},
    {ShellFolder::CommonDesktop, true, L"Common Desktop", L"CommonDesktop"},
    {ShellFolder::CommonPrograms, true, L"Common Programs", L"CommonPrograms"},
};

// Deletes path and then each parent that is left without values and subkeys.
void DeleteWithEmptyParents(HKEY root, std::wstring path) {
    RegDeleteTreeW(root, path.c_str());
    for (;;) {
        size_t cut = path.rfind(L'\\');
        if (cut == std::wstring::npos)
            break;
        path.resize(cut);
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        DWORD subkeys = 0, values = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        if (subkeys || values)
            break;
        RegDeleteKeyW(root, path.c_str());
    }
}

} // namespace

void ShellFolderFixture::SetUp() {
    RegistryFixture::SetUp();
    if (HasFatalFailure())
        return;
    // One scratch folder per process: the shell remembers the desktop folder
    // for the life of the process, so every test of a process uses the same one.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"pel-shell-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    RemoveTree(root_);
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
    for (const FolderSetting& s : kSettings) {
        std::wstring folder = root_ + s.SubFolder;
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        WriteString(s.Machine ? MachineKey() : UserKey(),
                    s.Machine ? kMachineFolders : kUserFolders, s.ValueName, folder);
    }
}

void ShellFolderFixture::TearDown() {
    RemoveTree(root_);
    RegistryFixture::TearDown();
}

std::wstring ShellFolderFixture::FolderOf(ShellFolder folder) const {
    for (const FolderSetting& s : kSettings)
        if (s.Folder == folder)
            return root_ + s.SubFolder + L"\\";
    return root_;
}

void ShellFolderFixture::RemoveShellFolderKeys() {
    for (HKEY root : {UserKey(), MachineKey()}) {
        const wchar_t* explorer = root == UserKey()
                                      ? L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"
                                      : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
        DeleteWithEmptyParents(root, std::wstring(explorer) + L"\\User Shell Folders");
        DeleteWithEmptyParents(root, std::wstring(explorer) + L"\\Shell Folders");
    }
}

ShortcutFields ReadShortcut(const std::wstring& linkPath) {
    ShortcutFields fields;
    HRESULT init = CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ))) {
                wchar_t buf[1024];
                fields.Loaded = true;
                buf[0] = 0;
                link->GetPath(buf, 1024, nullptr, SLGP_RAWPATH);
                fields.Target = buf;
                buf[0] = 0;
                link->GetArguments(buf, 1024);
                fields.Arguments = buf;
                buf[0] = 0;
                int index = -1;
                link->GetIconLocation(buf, 1024, &index);
                fields.IconPath = buf;
                fields.IconIndex = index;
                buf[0] = 0;
                link->GetDescription(buf, 1024);
                fields.Description = buf;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return fields;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    return NamesInFolder(folder, true);
}
