// Shortcut files written through the shell link object and read back through
// it, in shell folders redirected into the test's scratch folder.
#include "shell/os_version.h"
#include "shell/shell_registration.h"
#include "shell/shortcuts.h"
#include "shell_fixture.h"
#include "support/folder_fixture.h"
#include "support/wide_print.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kInstall = L"C:\\Programme\\Pellumbra\\";
constexpr const wchar_t* kViewer = L"C:\\Programme\\Pellumbra\\p_lumb64.exe";

struct ExpectedLink {
    const wchar_t* FileName;
    std::wstring Target;
    const wchar_t* Arguments;
    std::wstring IconPath;
    int IconIndex;
    const wchar_t* Description;
};

void ExpectLink(const std::wstring& folder, const ExpectedLink& e) {
    SCOPED_TRACE(Utf8(folder + e.FileName));
    ShortcutFields f = ReadShortcut(folder + e.FileName);
    ASSERT_TRUE(f.Loaded);
    EXPECT_EQ(Utf8(f.Target), Utf8(e.Target));
    EXPECT_EQ(Utf8(f.Arguments), Utf8(e.Arguments));
    EXPECT_EQ(Utf8(f.IconPath), Utf8(e.IconPath));
    if (!e.IconPath.empty()) {
        EXPECT_EQ(f.IconIndex, e.IconIndex);
    }
    EXPECT_EQ(Utf8(f.Description), Utf8(e.Description));
}

std::vector<ExpectedLink> GroupLinks(const std::wstring& install, bool withUninstaller) {
    const std::wstring viewer = install + L"p_lumb64.exe";
    std::vector<ExpectedLink> links = {
        {L"Pellumbra 64 4.66.lnk", viewer, L"", L"", 0, L""},
        {L"Pellumbra - Thumbnails.lnk", viewer, L"/thumbs", viewer, 7, L""},
        {L"Pellumbra deinstallieren.lnk", install + L"pl_uninstall.exe", L"", L"", 0, L""},
        {L"Über Pellumbra.lnk", install + L"p_about.txt", L"", L"", 0, L""},
        {L"Was ist neu.lnk", install + L"p_changes.txt", L"", L"", 0, L""},
        {L"Kommandozeilen-Optionen.lnk", install + L"p_options.txt", L"", L"", 0, L""},
        {L"Verfügbare PlugIns.lnk", install + L"p_plugins.txt", L"", L"", 0, L""},
        {L"Verfügbare Sprachen.lnk", install + L"p_languages.txt", L"", L"", 0, L""},
        {L"Pellumbra Hilfe.lnk", install + L"help\\p_lumb32_deutsch.chm", L"", L"", 0, L""},
    };
    if (!withUninstaller)
        links.erase(links.begin() + 2);
    return links;
}

std::vector<std::string> SortedNames(const std::vector<ExpectedLink>& links) {
    std::vector<std::string> names;
    for (const ExpectedLink& l : links)
        names.push_back(Utf8(l.FileName));
    std::sort(names.begin(), names.end());
    return names;
}


class ShellShortcuts : public ShellFolderFixture {
  protected:
    void SetUp() override {
        ShellFolderFixture::SetUp();
        SetOsVersionClassForTesting(7);
    }
    void TearDown() override {
        SetOsVersionClassForTesting(0);
        ShellFolderFixture::TearDown();
    }
    int Register(const wchar_t* folder, int group, int desktop, int thumbs, int allUsers) {
        int flags[kAssociationFlagCount] = {};
        return RegisterShellIntegration(0, folder, group, desktop, thumbs, allUsers, flags);
    }
};

TEST_F(ShellShortcuts, DesktopAndGroupForCurrentUserOrAllUsers) {
    for (int allUsers : {0, 1}) {
        SCOPED_TRACE(allUsers ? "all users" : "current user");
        ASSERT_EQ(Register(L" C:\\Programme\\Pellumbra ", 1, 1, 1, allUsers), 1);
        const std::wstring desktop =
            FolderOf(allUsers ? ShellFolder::CommonDesktop : ShellFolder::Desktop);
        const std::wstring other =
            FolderOf(allUsers ? ShellFolder::Desktop : ShellFolder::CommonDesktop);
        const std::wstring group =
            FolderOf(allUsers ? ShellFolder::CommonPrograms : ShellFolder::Programs) +
            L"Pellumbra\\";
        const std::wstring otherGroup =
            FolderOf(allUsers ? ShellFolder::Programs : ShellFolder::CommonPrograms) +
            L"Pellumbra\\";

        EXPECT_EQ(Utf8Sorted(FilesIn(desktop)),
                  std::vector<std::string>({"Pellumbra 64 Thumbnails.lnk", "Pellumbra 64.lnk"}));
        ExpectLink(desktop,
                   {L"Pellumbra 64.lnk", kViewer, L"", L"", 0, L"Pellumbra 64 - Bildbetrachter"});
        ExpectLink(desktop, {L"Pellumbra 64 Thumbnails.lnk", kViewer, L"/thumbs", kViewer, 7,
                             L"Pellumbra - Thumbnails"});
        EXPECT_TRUE(FilesIn(other).empty());

        const std::vector<ExpectedLink> links = GroupLinks(kInstall, true);
        EXPECT_EQ(Utf8Sorted(FilesIn(group)), SortedNames(links));
        for (const ExpectedLink& l : links)
            ExpectLink(group, l);
        EXPECT_FALSE(FolderExists(otherGroup));
        RemoveTree(group);
        for (const std::wstring& f : FilesIn(desktop))
            DeleteFileW((desktop + f).c_str());
    }
}

TEST_F(ShellShortcuts, OnlyTheRequestedShortcuts) {
    ASSERT_EQ(Register(kInstall, 0, 0, 1, 0), 1);
    EXPECT_EQ(Utf8Sorted(FilesIn(FolderOf(ShellFolder::Desktop))),
              std::vector<std::string>({"Pellumbra 64 Thumbnails.lnk"}));
    EXPECT_FALSE(FolderExists(FolderOf(ShellFolder::Programs) + L"Pellumbra\\"));
    ASSERT_EQ(Register(kInstall, 0, 0, 0, 0), 1);
    EXPECT_EQ(FilesIn(FolderOf(ShellFolder::Desktop)).size(), 1u);
}

TEST_F(ShellShortcuts, NoUninstallerShortcutOnWindows8) {
    SetOsVersionClassForTesting(8);
    ASSERT_EQ(Register(kInstall, 1, 0, 0, 0), 1);
    const std::wstring group = FolderOf(ShellFolder::Programs) + L"Pellumbra\\";
    const std::vector<ExpectedLink> links = GroupLinks(kInstall, false);
    ASSERT_EQ(links.size(), 8u);
    EXPECT_EQ(Utf8Sorted(FilesIn(group)), SortedNames(links));
    for (const ExpectedLink& l : links)
        ExpectLink(group, l);
}

// An earlier group: the viewer shortcuts of 4.65 and 4.62 go, any other
// version's stays, and shortcuts of the same names are overwritten.
TEST_F(ShellShortcuts, EarlierGroupIsUpdated) {
    const std::wstring group = FolderOf(ShellFolder::Programs) + L"Pellumbra\\";
    ASSERT_TRUE(CreateDirectoryW(group.c_str(), nullptr));
    for (const wchar_t* version : {L"4.65", L"4.62", L"4.63"})
        ASSERT_TRUE(CreateFolderShortcut(
            group.c_str(), (std::wstring(L"Pellumbra 64 ") + version + L".lnk").c_str(),
            L"D:\\Alt\\p_lumb64.exe", nullptr, nullptr, 0));
    ASSERT_TRUE(CreateFolderShortcut(group.c_str(), L"Pellumbra Hilfe.lnk", L"D:\\Alt\\alt.chm",
                                     L"/x", L"D:\\Alt\\alt.ico", 3));

    ASSERT_EQ(Register(kInstall, 1, 0, 0, 0), 1);
    std::vector<ExpectedLink> links = GroupLinks(kInstall, true);
    std::vector<std::string> names = SortedNames(links);
    names.push_back("Pellumbra 64 4.63.lnk");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(Utf8Sorted(FilesIn(group)), names);
    for (const ExpectedLink& l : links)
        ExpectLink(group, l);
    EXPECT_EQ(Utf8(ReadShortcut(group + L"Pellumbra 64 4.63.lnk").Target), "D:\\Alt\\p_lumb64.exe");

    // A second run into another folder overwrites every shortcut again.
    ASSERT_EQ(Register(L"E:\\Neu", 1, 0, 0, 0), 1);
    links = GroupLinks(L"E:\\Neu\\", true);
    EXPECT_EQ(Utf8Sorted(FilesIn(group)), names);
    for (const ExpectedLink& l : links)
        ExpectLink(group, l);
}

// The group shortcuts point into the install folder whether or not the files
// are there; a group folder that cannot be made leaves the group missing.
TEST_F(ShellShortcuts, GroupFolderThatCannotBeMade) {
    const std::wstring blocker = FolderOf(ShellFolder::Programs) + L"Pellumbra";
    ASSERT_TRUE(WriteFileBytes(blocker, "not a folder"));
    ASSERT_EQ(Register(kInstall, 1, 0, 0, 0), 1);
    EXPECT_EQ(Utf8Sorted(FilesIn(FolderOf(ShellFolder::Programs))),
              std::vector<std::string>({"Pellumbra"}));
}

TEST_F(ShellShortcuts, DesktopShortcutWithoutOptionalFields) {
    ASSERT_TRUE(CreateDesktopShortcut(L"C:\\x\\tool.exe", L"Nur Ziel.lnk", nullptr, nullptr,
                                      nullptr, 5, 0));
    ExpectLink(FolderOf(ShellFolder::Desktop),
               {L"Nur Ziel.lnk", L"C:\\x\\tool.exe", L"", L"", 0, L""});
    EXPECT_FALSE(CreateDesktopShortcut(nullptr, L"Ohne Ziel.lnk", nullptr, nullptr, nullptr, 0, 0));
}

} // namespace
