// Payload extraction through minizip into real folders, with the fixture
// archives of data/ and the test program's own "ZIP" 1974 resource.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/payload_extractor_rules.h"
#include "engine/payload_extractor_win.h"
#include "support/folder_fixture.h"
#include "support/wide_print.h"

namespace {

// The fixture folder as Windows sees it (a Linux path maps to drive Z: under Wine).
std::wstring DataPath(const wchar_t* name) {
    std::wstring path = Wide(PEL_EXTRACTION_DATA);
    if (!path.empty() && path[0] == L'/')
        path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path + L"\\" + name;
}

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(path, &bytes)) << Utf8(path);
    return bytes;
}

// Names in a folder, "." and ".." left out.
std::set<std::wstring> ListFolder(const std::wstring& folder) {
    std::vector<std::wstring> names = NamesInFolder(folder);
    return std::set<std::wstring>(names.begin(), names.end());
}

// The current directory as a folder text, ending in a backslash.
std::wstring CurrentFolder() {
    std::wstring s = CurrentDirectory();
    if (!s.empty() && s.back() != L'\\')
        s += L'\\';
    return s;
}

struct FileTimes {
    FILETIME created, accessed, written;
};

FileTimes TimesOf(const std::wstring& path) {
    FileTimes t = {};
    HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << Utf8(path);
    if (h != INVALID_HANDLE_VALUE) {
        GetFileTime(h, &t.created, &t.accessed, &t.written);
        CloseHandle(h);
    }
    return t;
}

// A file time shown as local date and time, "YYYY-MM-DD hh:mm:ss".
std::string AsLocalText(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME st = {};
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay,
             st.wHour, st.wMinute, st.wSecond);
    return text;
}

FILETIME UtcFileTime(WORD year, WORD month, WORD day) {
    SYSTEMTIME st = {};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = 8;
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

std::string BigText() {
    std::string s;
    char line[64];
    for (int i = 0; i < 1500; ++i) {
        snprintf(line, sizeof line, "Zeile %05d: Pellumbra zeigt Bilder schnell an.\r\n", i);
        s += line;
    }
    return s;
}

// Each test gets a target folder and its own temporary folder, so the fixed
// name of the temporary archive never meets another test running meanwhile.
class Extraction : public FolderFixture {
  protected:
    void SetUp() override {
        FolderFixture::SetUp();
        target_ = PathOf(L"target\\");
        temp_ = PathOf(L"tmp\\");
        ASSERT_TRUE(CreateDirectoryW(target_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(temp_.c_str(), nullptr));
        SaveVariable(L"TMP", &savedTmp_);
        SaveVariable(L"TEMP", &savedTemp_);
        SetEnvironmentVariableW(L"TMP", temp_.c_str());
        SetEnvironmentVariableW(L"TEMP", temp_.c_str());
        startDirectory_ = CurrentFolder();
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"TMP", savedTmp_.c_str());
        SetEnvironmentVariableW(L"TEMP", savedTemp_.c_str());
        FolderFixture::TearDown();
    }

    const std::wstring& Target() const { return target_; }
    std::wstring TempArchive() const { return temp_ + L"plumbg_x64.zip"; }
    const std::wstring& StartDirectory() const { return startDirectory_; }

  private:
    static void SaveVariable(const wchar_t* name, std::wstring* value) {
        wchar_t buf[1024] = {};
        GetEnvironmentVariableW(name, buf, 1024);
        *value = buf;
    }

    std::wstring target_, temp_, savedTmp_, savedTemp_, startDirectory_;
};

} // namespace

TEST_F(Extraction, WritesEveryEntryWithItsPathDataAndLocalTime) {
    ASSERT_EQ(ExtractArchiveFile(DataPath(L"good.zip").c_str(), Target().c_str(), 0), 0);

    EXPECT_EQ(CurrentFolder(), Target());
    EXPECT_EQ(ReadAll(Target() + L"readme.txt"), "Pellumbra stand-in\r\n");
    EXPECT_EQ(ReadAll(Target() + L"Plugins\\Icons.dll"), "icon library from the archive");
    EXPECT_EQ(ReadAll(Target() + L"Plugins\\Other.dll"), "other plug-in");
    // No folder entries in the archive for this one: the chain is made on demand.
    EXPECT_EQ(ReadAll(Target() + L"Sub\\Deep\\nested.txt"), "nested without folder entries");
    EXPECT_EQ(ReadAll(Target() + L"ICONS.DLL"), "upper-case icon library in the root");
    EXPECT_EQ(ReadAll(Target() + L"big.txt"), BigText()); // several copy buffers
    EXPECT_TRUE(FileExists(Target() + L"empty.txt"));
    EXPECT_EQ(ReadAll(Target() + L"empty.txt"), "");

    FileTimes readme = TimesOf(Target() + L"readme.txt");
    EXPECT_EQ(AsLocalText(readme.written), "2021-06-15 13:45:30");
    EXPECT_EQ(AsLocalText(readme.created), "2021-06-15 13:45:30");
    FileTimes nested = TimesOf(Target() + L"Sub\\Deep\\nested.txt");
    EXPECT_EQ(AsLocalText(nested.written), "1999-12-31 23:59:58");
    EXPECT_EQ(AsLocalText(nested.created), "1999-12-31 23:59:58");
}

TEST_F(Extraction, IconLibrarySkipKeepsTheExistingFileAndOnlyThat) {
    for (int skip : {0, 1}) {
        SCOPED_TRACE(skip);
        SetCurrentDirectoryW(StartDirectory().c_str()); // a current directory cannot be removed
        RemoveTree(Target());
        ASSERT_TRUE(CreateDirectoryW(Target().c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((Target() + L"Plugins").c_str(), nullptr));
        const std::wstring icons = Target() + L"Plugins\\Icons.dll";
        ASSERT_TRUE(WriteFileBytes(icons, "installed library"));
        ASSERT_TRUE(WriteFileBytes(Target() + L"mine.txt", "not in the archive"));
        FILETIME before = TimesOf(icons).written;

        ASSERT_EQ(ExtractArchiveFile(DataPath(L"good.zip").c_str(), Target().c_str(), skip), 0);

        EXPECT_EQ(ReadAll(Target() + L"mine.txt"), "not in the archive");
        EXPECT_EQ(ReadAll(Target() + L"readme.txt"), "Pellumbra stand-in\r\n");
        EXPECT_TRUE(FileExists(Target() + L"empty.txt")); // the last entry
        if (skip) {
            EXPECT_EQ(ReadAll(icons), "installed library");
            EXPECT_TRUE(SameTime(TimesOf(icons).written, before));
            EXPECT_FALSE(FileExists(Target() + L"ICONS.DLL"));
            EXPECT_FALSE(FileExists(Target() + L"Html\\MyICONS.DLL.txt"));
        } else {
            EXPECT_EQ(ReadAll(icons), "icon library from the archive");
            EXPECT_TRUE(FileExists(Target() + L"ICONS.DLL"));
            EXPECT_TRUE(FileExists(Target() + L"Html\\MyICONS.DLL.txt"));
        }
    }
}

TEST_F(Extraction, PayloadResourceIsExtractedAndTheTemporaryArchiveRemoved) {
    ASSERT_EQ(ExtractPayload(Target().c_str(), 0), 0);
    EXPECT_EQ(ReadAll(Target() + L"readme.txt"), "Pellumbra stand-in\r\n");
    EXPECT_EQ(ReadAll(Target() + L"big.txt"), BigText());
    EXPECT_EQ(CurrentFolder(), Target());
    EXPECT_FALSE(FileExists(TempArchive()));
}

TEST_F(Extraction, TargetThatCannotBeEnteredGivesMinusOneAndNoTemporaryArchive) {
    const std::wstring missing = PathOf(L"missing\\");
    EXPECT_EQ(ExtractPayload(missing.c_str(), 0), -1);
    EXPECT_FALSE(FileExists(TempArchive()));
    EXPECT_FALSE(FolderExists(missing));
    EXPECT_EQ(CurrentFolder(), StartDirectory());
    EXPECT_EQ(ExtractPayload(L"", 0), -1);
    EXPECT_FALSE(FileExists(TempArchive()));
}

TEST_F(Extraction, TemporaryArchiveHeldByAnotherProgramGivesMinusOne) {
    HANDLE held = CreateFileW(TempArchive().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ExtractPayload(Target().c_str(), 0), -1);
    CloseHandle(held);
    EXPECT_TRUE(ListFolder(Target()).empty());
}

TEST_F(Extraction, MissingOrEmptyPayloadResourceGivesMinusOne) {
    // kernel32 carries no "ZIP" resource at all.
    EXPECT_EQ(ExtractPayloadFromModule(GetModuleHandleW(L"kernel32.dll"), Target().c_str(), 0), -1);

    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring module = exe;
    module = module.substr(0, module.find_last_of(L'\\') + 1) + L"empty_payload_module.dll";
    HMODULE empty = LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(empty, nullptr) << Utf8(module);
    EXPECT_NE(FindResourceW(empty, MAKEINTRESOURCEW(1974), L"ZIP"), nullptr);
    EXPECT_EQ(ExtractPayloadFromModule(empty, Target().c_str(), 0), -1);
    FreeLibrary(empty);

    EXPECT_TRUE(ListFolder(Target()).empty());
    EXPECT_FALSE(FileExists(TempArchive()));
    EXPECT_EQ(CurrentFolder(), StartDirectory());
}

// Damaged archives: never a crash, and always -1: the archive cannot be
// opened, or the walk ends at the damaged entry (what came before stays).
TEST_F(Extraction, DamagedArchives) {
    ASSERT_TRUE(WriteFileBytes(PathOf(L"zero.zip"), ""));
    ASSERT_TRUE(WriteFileBytes(PathOf(L"text.zip"), "this is not an archive"));
    struct Case {
        std::wstring archive;
        int result;
        std::set<std::wstring> written;
    };
    const Case cases[] = {
        {DataPath(L"truncated.zip"), -1, {}},
        {PathOf(L"zero.zip"), -1, {}},
        {PathOf(L"text.zip"), -1, {}},
        {PathOf(L"does-not-exist.zip"), -1, {}},
        // minizip finds no end record at offset 0: an archive without entries does not open.
        {DataPath(L"empty.zip"), -1, {}},
        // The entry with the wrong CRC is written whole; the walk stops after it.
        {DataPath(L"crc_bad.zip"), -1, {L"a.txt", L"b.txt"}},
        // Broken deflate data: whatever came before the error stays, nothing after.
        {DataPath(L"corrupt_data.zip"), -1, {L"a.txt", L"b.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.archive));
        SetCurrentDirectoryW(StartDirectory().c_str());
        RemoveTree(Target());
        ASSERT_TRUE(CreateDirectoryW(Target().c_str(), nullptr));
        EXPECT_EQ(ExtractArchiveFile(c.archive.c_str(), Target().c_str(), 0), c.result);
        EXPECT_EQ(ListFolder(Target()), c.written);
        // A failure is reported where the installer started.
        EXPECT_EQ(CurrentFolder(), StartDirectory());
    }
    SetCurrentDirectoryW(StartDirectory().c_str());
    RemoveTree(Target());
    ASSERT_TRUE(CreateDirectoryW(Target().c_str(), nullptr));
    ASSERT_EQ(ExtractArchiveFile(DataPath(L"crc_bad.zip").c_str(), Target().c_str(), 0), -1);
    EXPECT_EQ(ReadAll(Target() + L"a.txt"), "first entry");
    EXPECT_EQ(ReadAll(Target() + L"b.txt"), "entry whose stored CRC is wrong");
}

TEST_F(Extraction, NamesPointingOutsideTheTargetAreNeverWritten) {
    const std::wstring outer = PathOf(L"outer\\");
    const std::wstring target = outer + L"target\\";
    ASSERT_TRUE(CreateDirectoryW(outer.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    const wchar_t* const rooted[] = {L"C:\\pel-fixture-rooted.txt", L"C:\\pel-fixture-rooted2.txt",
                                     L"C:\\pel-fixture-drive.txt"};
    for (const wchar_t* path : rooted)
        DeleteFileW(path);

    ASSERT_EQ(ExtractArchiveFile(DataPath(L"unsafe_names.zip").c_str(), target.c_str(), 0), 0);

    EXPECT_EQ(ListFolder(target),
              (std::set<std::wstring>{L"ok1.txt", L"ok2.txt", L"ok3.txt", L"ok4.txt"}));
    EXPECT_EQ(ListFolder(outer), std::set<std::wstring>{L"target"});
    EXPECT_EQ(ListFolder(Folder()), (std::set<std::wstring>{L"outer", L"target", L"tmp"}));
    for (const wchar_t* path : rooted) {
        EXPECT_FALSE(FileExists(path)) << Utf8(path);
        DeleteFileW(path);
    }
}

TEST_F(Extraction, EntryNamesAtTheBufferLimits) {
    ASSERT_EQ(ExtractArchiveFile(DataPath(L"long_names.zip").c_str(), Target().c_str(), 0), 0);

    // 323 wide characters fit the name buffer (terminator included: 324).
    const std::wstring a(150, L'a'), b(150, L'b');
    const std::wstring name323 = a + L"\\" + b + L"\\" + std::wstring(21, L'c');
    EXPECT_EQ(name323.size(), 323u);
    EXPECT_EQ(ReadAll(Target() + name323), "323");
    // One more does not fit and is skipped; so are names of 519 and 520 bytes.
    EXPECT_EQ(ListFolder(Target() + a + L"\\" + b + L"\\"),
              std::set<std::wstring>{std::wstring(21, L'c')});
    EXPECT_EQ(ListFolder(Target()), (std::set<std::wstring>{a, L"after323.txt", L"after324.txt",
                                                            L"after519.txt", L"after520.txt"}));
}

TEST_F(Extraction, FileHeldOpenWithoutSharingIsSkippedAndTheNextEntryFollows) {
    const std::wstring readme = Target() + L"readme.txt";
    ASSERT_TRUE(WriteFileBytes(readme, "viewer's own copy"));
    HANDLE held = CreateFileW(readme.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    EXPECT_EQ(ExtractArchiveFile(DataPath(L"good.zip").c_str(), Target().c_str(), 0), 0);
    CloseHandle(held);

    EXPECT_EQ(ReadAll(readme), "viewer's own copy");
    EXPECT_EQ(ReadAll(Target() + L"Plugins\\Icons.dll"), "icon library from the archive");
    EXPECT_TRUE(FileExists(Target() + L"empty.txt"));
}

TEST_F(Extraction, CreateEntryFoldersMakesTheChain) {
    ASSERT_TRUE(SetCurrentDirectoryW(Target().c_str()));
    EXPECT_EQ(CreateEntryFolders(L"a/b/c/"), 1);
    EXPECT_TRUE(FolderExists(Target() + L"a\\b\\c"));
    EXPECT_EQ(CreateEntryFolders(L"a\\b\\d"), 1);
    EXPECT_TRUE(FolderExists(Target() + L"a\\b\\d"));
    EXPECT_EQ(CreateEntryFolders(L"a/b/c"), 1); // all there already
    EXPECT_EQ(CreateEntryFolders((Target() + L"abs\\x").c_str()), 1);
    EXPECT_TRUE(FolderExists(Target() + L"abs\\x"));
    EXPECT_EQ(CreateEntryFolders(L""), 0);
    EXPECT_EQ(CreateEntryFolders(L"/"), 0);

    // A file where a folder should be: the chain below it cannot be made.
    ASSERT_TRUE(WriteFileBytes(Target() + L"file", "x"));
    EXPECT_EQ(CreateEntryFolders(L"file/sub/deeper"), 0);

    // The work copy holds 323 characters.
    std::wstring longest =
        std::wstring(150, L'p') + L"/" + std::wstring(150, L'q') + L"/" + std::wstring(21, L'r');
    ASSERT_EQ(longest.size(), 323u);
    EXPECT_EQ(CreateEntryFolders(longest.c_str()), 1);
    EXPECT_TRUE(FolderExists(Target() + longest));
    std::wstring tooLong = longest + L"s";
    EXPECT_EQ(CreateEntryFolders(tooLong.c_str()), -104);
    EXPECT_FALSE(FolderExists(Target() + tooLong));
}

TEST_F(Extraction, StampEntryTimeSetsCreationAndWriteTimeAndKeepsLastAccess) {
    const std::wstring file = Target() + L"stamped.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    const FILETIME access = UtcFileTime(2003, 3, 3);
    HANDLE h =
        CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(h, nullptr, &access, nullptr));
    CloseHandle(h);

    // 2021-06-15 13:45:30: date word 0x52CF, time word 0x6DAF.
    StampEntryTime(file.c_str(), 0x52CF6DAFu);
    FileTimes t = TimesOf(file);
    EXPECT_EQ(AsLocalText(t.created), "2021-06-15 13:45:30");
    EXPECT_EQ(AsLocalText(t.written), "2021-06-15 13:45:30");
    EXPECT_TRUE(SameTime(t.accessed, access));

    StampEntryTime((Target() + L"missing.txt").c_str(), 0x52CF6DAFu);
    EXPECT_FALSE(FileExists(Target() + L"missing.txt"));
}
