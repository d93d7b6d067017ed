// The test harness itself: the registry redirection and the folder fixture
// must hold, or every registry and file test above them proves nothing.
#include "support/folder_fixture.h"
#include "support/registry_dump.h"
#include "support/registry_fixture.h"

#include <windows.h>

TEST_F(RegistryFixture, WritesThroughPredefinedRootsLandInScratchKeys) {
    ASSERT_EQ(RegSetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.pltest", REG_SZ, L"x", 2),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueW(HKEY_CLASSES_ROOT, L"Applications\\pltest.exe", REG_SZ, L"y", 2),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueW(HKEY_CURRENT_USER, L"Software\\PlTest", REG_SZ, L"z", 2), ERROR_SUCCESS);

    std::wstring v;
    EXPECT_TRUE(ReadString(MachineKey(), L"SOFTWARE\\Classes\\.pltest", nullptr, &v));
    EXPECT_EQ(v, L"x");
    EXPECT_TRUE(ReadString(ClassesKey(), L"Applications\\pltest.exe", nullptr, &v));
    EXPECT_EQ(v, L"y");
    EXPECT_TRUE(ReadString(UserKey(), L"Software\\PlTest", nullptr, &v));
    EXPECT_EQ(v, L"z");

    std::vector<std::string> dump = DumpRegistryTree(MachineKey(), L"SOFTWARE");
    std::vector<std::string> expected = {
        "[Classes\\.pltest] @ = REG_SZ(4) x",
        "[Classes\\.pltest]",
        "[Classes]",
        "[]",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dump, expected);
}

TEST_F(RegistryFixture, ReadOnlyMachineRootRefusesWritesButUserRootWorks) {
    MakeMachineReadOnly();
    EXPECT_NE(RegSetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellumbra", REG_SZ, L"x", 2),
              ERROR_SUCCESS);
    HKEY key = nullptr;
    EXPECT_NE(RegCreateKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellumbra", &key), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(MachineKey(), L"SOFTWARE\\Pellumbra"));
    EXPECT_EQ(RegSetValueW(HKEY_CURRENT_USER, L"Software\\PlTest", REG_SZ, L"z", 2), ERROR_SUCCESS);
}

TEST_F(FolderFixture, GivesAnEmptyFolderAndRestoresTheCurrentDirectory) {
    EXPECT_TRUE(FolderExists(Folder()));
    EXPECT_TRUE(WriteFileBytes(PathOf(L"a.txt"), "abc"));
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(PathOf(L"a.txt"), &bytes));
    EXPECT_EQ(bytes, "abc");
    EXPECT_TRUE(SetCurrentDirectoryW(Folder().c_str()));
}
