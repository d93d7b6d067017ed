#include "engine/path_helpers.h"

#include <windows.h>

#include <vector>

namespace {

class WindowsFolders : public FolderOperations {
  public:
    void CreateOneFolder(const wchar_t* path) override { CreateDirectoryW(path, nullptr); }

    // The current directory is read at its full length, so that it can always be
    // set again, however deep it is.
    bool CanEnterFolder(const wchar_t* path) override {
        DWORD need = GetCurrentDirectoryW(0, nullptr);
        if (need == 0)
            return false;
        std::vector<wchar_t> saved(need + 1, L'\0');
        DWORD got = GetCurrentDirectoryW(static_cast<DWORD>(saved.size()), saved.data());
        if (got == 0 || got >= saved.size())
            return false;
        if (!SetCurrentDirectoryW(path))
            return false;
        SetCurrentDirectoryW(saved.data());
        return true;
    }
};

class ProcessEnvironment : public EnvironmentLookup {
  public:
    std::size_t Read(const wchar_t* name, wchar_t* value, std::size_t capacity) override {
        return GetEnvironmentVariableW(name, value, static_cast<DWORD>(capacity));
    }
};

} // namespace

int CreateFolderTree(wchar_t* folder) {
    WindowsFolders folders;
    return CreateFolderTree(folder, folders);
}

void ExpandEnvironmentReferences(const wchar_t* text, wchar_t* out) {
    ProcessEnvironment environment;
    ExpandEnvironmentReferences(text, out, environment);
}
