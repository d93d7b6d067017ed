// A registry-redirected test whose shell folders (desktop, programs, common
// desktop, common programs) point into a scratch folder of the test process,
// so that shortcut code writes nowhere else.
#pragma once

#include "support/registry_fixture.h"

#include <string>
#include <vector>

enum class ShellFolder { Desktop, Programs, CommonDesktop, CommonPrograms };

class ShellFolderFixture : public RegistryFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The redirected folder, ending in a backslash.
    std::wstring FolderOf(ShellFolder folder) const;

    // Removes the redirection values (and whatever the shell noted beside them)
    // from the scratch roots, so that a dump shows only what the code wrote.
    void RemoveShellFolderKeys();

  private:
    std::wstring root_;
};

// The fields of a saved shortcut, read back through IShellLinkW.
struct ShortcutFields {
    bool Loaded = false;
    std::wstring Target;
    std::wstring Arguments;
    std::wstring IconPath;
    int IconIndex = -1;
    std::wstring Description;
};
ShortcutFields ReadShortcut(const std::wstring& linkPath);

// The file names in a folder, sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
