// The proposed install folder: the folder rule on open-command texts, and the
// two lookups against the real (redirected) registry.
#include "app/install_location.h"

#include "support/registry_fixture.h"
#include "support/wide_print.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Repeat(wchar_t c, std::size_t n) {
    return std::wstring(n, c);
}

} // namespace

TEST(InstallFolderFromOpenCommand, FolderOfTheRegisteredViewer) {
    struct Case {
        std::wstring command;
        int result;
        std::wstring folder;
    } cases[] = {
        {L"\"D:\\Tools\\Pellumbra\\p_lumb64.exe\" \"%1\"", 1, L"D:\\Tools\\Pellumbra\\"},
        {L"\"C:\\Program Files\\Pellumbra\\p_lumb64.exe\"", 1, L"C:\\Program Files\\Pellumbra\\"},
        {L"\"C:\\Program Files\\Pellumbra\\p_lumb64.exe", 1, L"C:\\Program Files\\Pellumbra\\"},
        {L"\"\\\\server\\share\\Pel\\p_lumb64.exe\" \"%1\"", 1, L"\\\\server\\share\\Pel\\"},
        {L"\"C:\\p_lumb64.exe\" \"%1\"", 1, L"C:\\"},
        {L"\"D:/Tools/p_lumb64.exe\" \"%1\"", 1, L"D:/Tools/\\"},
        // Without quotes the path still counts; its arguments do not.
        {L"D:\\Tools\\p_lumb64.exe \"%1\"", 1, L"D:\\Tools\\"},
        // Another program, also one that merely mentions the viewer.
        {L"\"C:\\Other\\viewer.exe\" \"%1\"", 0, L""},
        {L"\"C:\\Other\\viewer.exe\" \"C:\\Pel\\p_lumb64.exe\"", 0, L""},
        {L"\"C:\\Pel\\p_lumb64.exe.old\" \"%1\"", 0, L""},
        {L"\"C:\\Pel\\P_LUMB64.EXE\" \"%1\"", 0, L""},
        // No folder at all: not a usable install folder.
        {L"\"p_lumb64.exe\" \"%1\"", 0, L""},
        {L"", 0, L""},
    };
    for (const Case& c : cases) {
        wchar_t out[kLocationChars];
        out[0] = L'#';
        out[1] = L'\0';
        EXPECT_EQ(InstallFolderFromOpenCommand(c.command.c_str(), out, kLocationChars), c.result)
            << Utf8(c.command);
        EXPECT_EQ(std::wstring(out), c.folder) << Utf8(c.command);
    }
}

TEST(InstallFolderFromOpenCommand, FolderMustFitTheOutput) {
    const std::wstring command = L"\"C:\\abc\\p_lumb64.exe\""; // folder C:\abc\ = 7 characters
    wchar_t out[16];
    EXPECT_EQ(InstallFolderFromOpenCommand(command.c_str(), out, 8), 1);
    EXPECT_STREQ(out, L"C:\\abc\\");
    EXPECT_EQ(InstallFolderFromOpenCommand(command.c_str(), out, 7), 0);
    EXPECT_STREQ(out, L"");
    // The appended backslash counts too.
    EXPECT_EQ(InstallFolderFromOpenCommand(L"\"C:p_lumb64.exe\"", out, 4), 1);
    EXPECT_STREQ(out, L"C:\\");
    EXPECT_EQ(InstallFolderFromOpenCommand(L"\"C:p_lumb64.exe\"", out, 3), 0);
}

TEST(DefaultFolderFromProgramFiles, ProgramFilesAndFallback) {
    struct Case {
        const wchar_t* programFiles;
        std::wstring folder;
    } cases[] = {
        {L"C:\\Program Files", L"C:\\Program Files\\Pellumbra"},
        {L"D:\\Programme\\", L"D:\\Programme\\Pellumbra"},
        {nullptr, L"C:\\Pellumbra\\"},
        {L"", L"C:\\Pellumbra\\"},
    };
    for (const Case& c : cases) {
        wchar_t out[kLocationChars];
        DefaultFolderFromProgramFiles(c.programFiles, out, kLocationChars);
        EXPECT_EQ(std::wstring(out), c.folder);
    }
}

class LocationRegistry : public RegistryFixture {
  protected:
    void RegisterOpenCommand(const std::wstring& command) {
        WriteString(MachineKey(), kOpenCommandKey, nullptr, command);
    }
    void SetProgramFiles(const std::wstring& folder) {
        WriteString(MachineKey(), kCurrentVersionKey, kProgramFilesValue, folder);
    }
    static std::wstring Existing(int expectedResult) {
        wchar_t out[kLocationChars] = L"junk";
        EXPECT_EQ(FindExistingInstallFolder(out), expectedResult);
        return out;
    }
    static std::wstring Default() {
        wchar_t out[kLocationChars] = L"junk";
        EXPECT_EQ(GetDefaultInstallFolder(out), 1);
        return out;
    }
};

TEST_F(LocationRegistry, RegisteredViewerFolderIsFound) {
    RegisterOpenCommand(L"\"D:\\Tools\\Pellumbra\\p_lumb64.exe\" \"%1\"");
    EXPECT_EQ(Existing(1), L"D:\\Tools\\Pellumbra\\");
}

TEST_F(LocationRegistry, NothingUsableRegistered) {
    EXPECT_EQ(Existing(0), L"") << "no key";
    WriteString(MachineKey(), kOpenCommandKey, L"other", L"\"D:\\Pel\\p_lumb64.exe\"");
    EXPECT_EQ(Existing(0), L"") << "key without its default value";
    RegisterOpenCommand(L"");
    EXPECT_EQ(Existing(0), L"") << "empty value";
    RegisterOpenCommand(L"\"C:\\Other\\viewer.exe\" \"%1\"");
    EXPECT_EQ(Existing(0), L"") << "another program";
}

// The open command is read into 260 characters: 259 fit, 260 are unreadable.
TEST_F(LocationRegistry, OpenCommandLengthLimit) {
    const std::wstring head = L"\"D:\\";
    const std::wstring tail = L"\\p_lumb64.exe\" \"%1\"";
    const std::wstring name = Repeat(L'f', 259 - head.size() - tail.size());
    RegisterOpenCommand(head + name + tail);
    EXPECT_EQ(Existing(1), L"D:\\" + name + L"\\");
    RegisterOpenCommand(head + name + L"g" + tail);
    EXPECT_EQ(Existing(0), L"");
}

TEST_F(LocationRegistry, DefaultFolderFromProgramFilesDir) {
    EXPECT_EQ(Default(), L"C:\\Pellumbra\\") << "no key";
    SetProgramFiles(L"C:\\Program Files");
    EXPECT_EQ(Default(), L"C:\\Program Files\\Pellumbra");
    SetProgramFiles(L"E:\\Apps\\");
    EXPECT_EQ(Default(), L"E:\\Apps\\Pellumbra");
    SetProgramFiles(L"");
    EXPECT_EQ(Default(), L"C:\\Pellumbra\\");
}

// The default folder must fit 260 characters with its terminator.
TEST_F(LocationRegistry, DefaultFolderLengthLimit) {
    const std::wstring at249 = L"C:\\" + Repeat(L'p', 246);
    SetProgramFiles(at249);
    EXPECT_EQ(Default(), at249 + L"\\Pellumbra");
    EXPECT_EQ(Default().size(), 259u);
    SetProgramFiles(at249 + L"q");
    EXPECT_EQ(Default(), L"C:\\Pellumbra\\");
    SetProgramFiles(L"C:\\" + Repeat(L'p', 257)); // 260 characters: unreadable
    EXPECT_EQ(Default(), L"C:\\Pellumbra\\");
}
