// The path helpers against real folders, the real current directory and the
// real process environment; the component walk also against a recording fake,
// so that its limits can be checked at the exact boundary.
#include "engine/path_helpers.h"

#include "support/folder_fixture.h"
#include "support/wide_print.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

std::wstring Repeat(wchar_t c, std::size_t n) {
    return std::wstring(n, c);
}


// Runs CreateFolderTree on a 520-character buffer filled with text; the
// buffer's tail is a canary that must survive.
struct TreeResult {
    int result;
    std::wstring text;
    bool canaryIntact;
};

TreeResult RunCreateFolderTree(const std::wstring& text) {
    std::vector<wchar_t> buf(520, L'#');
    std::copy(text.begin(), text.end(), buf.begin());
    buf[text.size()] = L'\0';
    TreeResult r;
    r.result = CreateFolderTree(buf.data());
    r.text = buf.data();
    r.canaryIntact = true;
    for (std::size_t i = std::max<std::size_t>(text.size() + 1, kPathChars); i < buf.size(); ++i)
        r.canaryIntact = r.canaryIntact && buf[i] == L'#';
    return r;
}

} // namespace

// ---------------------------------------------------------------- TrimSpaces

TEST(TrimSpaces, RemovesOnlyU0020AndKeepsLeadingSpacesOfLongTexts) {
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"", L""},
        {L"   ", L""},
        {L"  C:\\Pellumbra  ", L"C:\\Pellumbra"},
        {L"C:\\Program Files\\x", L"C:\\Program Files\\x"},
        {L"\tC:\\x\t ", L"\tC:\\x\t"},
        // 259 characters once the trailing spaces are gone: leading ones go too.
        {L" " + Repeat(L'a', 258) + L"   ", Repeat(L'a', 258)},
        // 260 characters: leading spaces stay.
        {L" " + Repeat(L'a', 259) + L" ", L" " + Repeat(L'a', 259)},
        {L" " + Repeat(L'a', 269), L" " + Repeat(L'a', 269)},
    };
    for (const Case& c : cases) {
        std::vector<wchar_t> buf(c.in.begin(), c.in.end());
        buf.push_back(L'\0');
        TrimSpaces(buf.data());
        EXPECT_EQ(std::wstring(buf.data()), c.out) << "input length " << c.in.size();
    }
}

TEST(EnsureTrailingBackslash, AppendsOnlyWhenMissingAndWhenItFits) {
    struct Case {
        std::wstring in;
        std::size_t capacity;
        std::wstring out;
    } cases[] = {
        {L"C:\\x", 260, L"C:\\x\\"},
        {L"C:\\x\\", 260, L"C:\\x\\"},
        {Repeat(L'a', 258), 260, Repeat(L'a', 258) + L"\\"},
        {Repeat(L'a', 259), 260, Repeat(L'a', 259)},
        {L"ab", 3, L"ab"},
        {L"ab", 4, L"ab\\"},
    };
    for (const Case& c : cases) {
        std::vector<wchar_t> buf(c.capacity + 4, L'#');
        std::copy(c.in.begin(), c.in.end(), buf.begin());
        buf[c.in.size()] = L'\0';
        EnsureTrailingBackslash(buf.data(), c.capacity);
        EXPECT_EQ(std::wstring(buf.data()), c.out);
        for (std::size_t i = c.capacity; i < buf.size(); ++i)
            EXPECT_EQ(buf[i], L'#') << "written past capacity " << c.capacity;
    }
}

// ---------------------------------------------------------- CreateFolderTree

using CreateFolderTreeTest = FolderFixture;

TEST_F(CreateFolderTreeTest, CreatesNestedFoldersAndTrimsAndCompletesTheText) {
    const std::wstring before = CurrentDirectory();
    TreeResult r = RunCreateFolderTree(L" " + Folder() + L"one\\two\\three ");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.text, Folder() + L"one\\two\\three\\");
    EXPECT_TRUE(FolderExists(Folder() + L"one\\two\\three"));
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(CreateFolderTreeTest, ExistingFolderIsOnlyTrimmedAndCompleted) {
    ASSERT_TRUE(CreateDirectoryW((Folder() + L"here").c_str(), nullptr));
    const std::wstring before = CurrentDirectory();
    TreeResult r = RunCreateFolderTree(Folder() + L"here  ");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.text, Folder() + L"here\\");
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(CreateFolderTreeTest, SpacesInFrontOfABackslashAreDropped) {
    TreeResult r = RunCreateFolderTree(Folder() + L"Program Files \\Pellumbra");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.text, Folder() + L"Program Files\\Pellumbra\\");
    EXPECT_TRUE(FolderExists(Folder() + L"Program Files\\Pellumbra"));
    // Windows ignores trailing spaces when it opens a path, so list the names.
    EXPECT_EQ(NamesInFolder(Folder()), std::vector<std::wstring>{L"Program Files"});
}

TEST_F(CreateFolderTreeTest, AFileInTheWayGivesZero) {
    ASSERT_TRUE(WriteFileBytes(Folder() + L"blocker", "x"));
    const std::wstring before = CurrentDirectory();
    TreeResult r = RunCreateFolderTree(Folder() + L"blocker\\sub");
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(FileExists(Folder() + L"blocker"));
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(CreateFolderTreeTest, RelativeTextIsCreatedBelowTheCurrentDirectory) {
    ASSERT_TRUE(SetCurrentDirectoryW(Folder().c_str()));
    const std::wstring before = CurrentDirectory();
    TreeResult r = RunCreateFolderTree(L"rel\\sub");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.text, L"rel\\sub\\");
    EXPECT_TRUE(FolderExists(Folder() + L"rel\\sub"));
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(CreateFolderTreeTest, NetworkPathKeepsItsTwoLeadingBackslashes) {
    const std::wstring before = CurrentDirectory();
    TreeResult r = RunCreateFolderTree(L"\\\\pel-no-such-server\\share \\Pellumbra");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.text, L"\\\\pel-no-such-server\\share\\Pellumbra\\");
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(CreateFolderTreeTest, EmptyOrBlankTextGivesZero) {
    EXPECT_EQ(RunCreateFolderTree(L"").result, 0);
    TreeResult r = RunCreateFolderTree(L"    ");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.text, L"");
}

// Real folders at the length limit: the completed text may hold 259 characters.
TEST_F(CreateFolderTreeTest, LengthLimitOnRealFolders) {
    const std::wstring base = Folder();
    ASSERT_LT(base.size(), 200u);
    const std::wstring at258 =
        base + Repeat(L'a', 100) + L"\\" + Repeat(L'b', 258 - base.size() - 101);
    ASSERT_EQ(at258.size(), 258u);
    TreeResult ok = RunCreateFolderTree(at258);
    EXPECT_EQ(ok.result, 1);
    EXPECT_EQ(ok.text, at258 + L"\\");
    EXPECT_TRUE(ok.canaryIntact);
    EXPECT_TRUE(FolderExists(at258));

    const std::wstring at259 =
        base + Repeat(L'c', 100) + L"\\" + Repeat(L'd', 259 - base.size() - 101);
    ASSERT_EQ(at259.size(), 259u);
    TreeResult refused = RunCreateFolderTree(at259);
    EXPECT_EQ(refused.result, 0);
    EXPECT_TRUE(refused.canaryIntact);
    EXPECT_FALSE(FolderExists(base + Repeat(L'c', 100))) << "nothing is created for a refused text";
}

// A fake file system that records what is created, for the exact boundaries.
class RecordingFolders : public FolderOperations {
  public:
    std::set<std::wstring> existing;
    std::vector<std::wstring> created;
    void CreateOneFolder(const wchar_t* path) override {
        created.push_back(path);
        existing.insert(std::wstring(path) + L"\\");
    }
    bool CanEnterFolder(const wchar_t* path) override { return existing.count(path) != 0; }
};

TEST(CreateFolderTreeWalk, CreatesEachPrefixInOrder) {
    RecordingFolders fs;
    wchar_t buf[kPathChars] = L"C:\\a \\\\b\\c";
    EXPECT_EQ(CreateFolderTree(buf, fs), 1);
    EXPECT_EQ(std::wstring(buf), L"C:\\a\\b\\c\\");
    std::vector<std::wstring> expected = {L"C:", L"C:\\a", L"C:\\a\\", L"C:\\a\\b", L"C:\\a\\b\\c"};
    EXPECT_EQ(fs.created, expected);
}

TEST(CreateFolderTreeWalk, ExistingFolderCreatesNothing) {
    RecordingFolders fs;
    fs.existing.insert(L"D:\\x\\");
    wchar_t buf[kPathChars] = L" D:\\x ";
    EXPECT_EQ(CreateFolderTree(buf, fs), 1);
    EXPECT_EQ(std::wstring(buf), L"D:\\x\\");
    EXPECT_TRUE(fs.created.empty());
}

TEST(CreateFolderTreeWalk, LengthBoundaries) {
    struct Case {
        std::wstring in;
        int result;
        std::wstring out;
        bool createsSomething;
    } cases[] = {
        {L"C:\\" + Repeat(L'a', 255), 1, L"C:\\" + Repeat(L'a', 255) + L"\\", true}, // 258
        {L"C:\\" + Repeat(L'a', 255) + L"\\", 1, L"C:\\" + Repeat(L'a', 255) + L"\\", true},
        {L"C:\\" + Repeat(L'a', 256), 0, L"C:\\" + Repeat(L'a', 256), false}, // 259, no room
        {L"C:\\" + Repeat(L'a', 256) + L"\\", 0, L"C:\\" + Repeat(L'a', 256) + L"\\", false}, // 260
        // Trailing spaces do not count: 258 characters once trimmed.
        {L"C:\\" + Repeat(L'a', 255) + Repeat(L' ', 5), 1, L"C:\\" + Repeat(L'a', 255) + L"\\",
         true},
    };
    for (const Case& c : cases) {
        RecordingFolders fs;
        std::vector<wchar_t> buf(520, L'#');
        std::copy(c.in.begin(), c.in.end(), buf.begin());
        buf[c.in.size()] = L'\0';
        EXPECT_EQ(CreateFolderTree(buf.data(), fs), c.result) << "length " << c.in.size();
        EXPECT_EQ(std::wstring(buf.data()), c.out) << "length " << c.in.size();
        EXPECT_EQ(!fs.created.empty(), c.createsSomething) << "length " << c.in.size();
        for (std::size_t i = std::max<std::size_t>(c.in.size() + 1, kPathChars); i < buf.size();
             ++i)
            ASSERT_EQ(buf[i], L'#');
    }
}

// ----------------------------------------------- ExpandEnvironmentReferences

class ExpandTest : public ::testing::Test {
  protected:
    void Set(const std::wstring& name, const std::wstring& value) {
        ASSERT_TRUE(SetEnvironmentVariableW(name.c_str(), value.c_str()));
        names_.push_back(name);
    }
    void TearDown() override {
        for (const std::wstring& n : names_)
            SetEnvironmentVariableW(n.c_str(), nullptr);
    }
    static std::wstring Expand(const std::wstring& text) {
        std::vector<wchar_t> out(kExpandedChars + 8, L'#');
        ExpandEnvironmentReferences(text.c_str(), out.data());
        for (std::size_t i = kExpandedChars; i < out.size(); ++i)
            EXPECT_EQ(out[i], L'#') << "written past 520 characters";
        return out.data();
    }

  private:
    std::vector<std::wstring> names_;
};

TEST_F(ExpandTest, ReferencesAreReplacedOrVanish) {
    Set(L"PEL_ONE", L"C:\\one");
    Set(L"PEL_SELF", L"%PEL_ONE%");
    Set(L"PEL_EMPTY", L"");
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"C:\\plain\\folder", L"C:\\plain\\folder"},
        {L"%PEL_ONE%\\Pellumbra", L"C:\\one\\Pellumbra"},
        {L"x%PEL_ONE%y%PEL_ONE%", L"xC:\\oney"
                                  L"C:\\one"},
        {L"%PEL_UNDEFINED_NAME%\\Pellumbra", L"\\Pellumbra"},
        {L"%PEL_EMPTY%\\Pellumbra", L"\\Pellumbra"},
        {L"a%%b", L"ab"},
        {L"a%", L"a"},
        {L"a%PEL_ONE", L"aC:\\one"}, // unclosed: the rest is the name
        {L"a%PEL_ONE\\x", L"a"},
        {L"%PEL_SELF%", L"%PEL_ONE%"}, // not expanded again
        {L"%pel_one%", L"C:\\one"},    // names ignore case, as Windows does
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.in), c.out) << Utf8(c.in);
}

TEST_F(ExpandTest, AppDataGivesTheRoamingFolder) {
    wchar_t appData[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
    EXPECT_EQ(Expand(L"%APPDATA%\\Pellumbra"), std::wstring(appData) + L"\\Pellumbra");
}

TEST_F(ExpandTest, ValueAndNameLimits) {
    Set(L"PEL_V259", Repeat(L'v', 259));
    Set(L"PEL_V260", Repeat(L'w', 260));
    const std::wstring name260 = L"PEL_" + Repeat(L'N', 256);
    const std::wstring name261 = L"PEL_" + Repeat(L'M', 257);
    Set(name260, L"n260");
    Set(name261, L"n261");
    EXPECT_EQ(Expand(L"x%PEL_V259%y"), L"x" + Repeat(L'v', 259) + L"y");
    EXPECT_EQ(Expand(L"x%PEL_V260%y"), L"") << "a value that does not fit is refused";
    EXPECT_EQ(Expand(L"%" + name260 + L"%\\x"), L"n260\\x");
    EXPECT_EQ(Expand(L"%" + name261 + L"%\\x"), L"") << "an over-long name is refused";
}

TEST_F(ExpandTest, ResultLimitIs519Characters) {
    Set(L"PEL_V259", Repeat(L'v', 259));
    const std::wstring twice = Repeat(L'v', 518);
    EXPECT_EQ(Expand(L"%PEL_V259%%PEL_V259%z"), twice + L"z");
    EXPECT_EQ(Expand(L"%PEL_V259%%PEL_V259%zz"), L"");
    EXPECT_EQ(Expand(L"zz%PEL_V259%%PEL_V259%"), L"");
    EXPECT_EQ(Expand(Repeat(L'p', 519)), Repeat(L'p', 519));
    EXPECT_EQ(Expand(Repeat(L'p', 520)), L"");
    EXPECT_EQ(Expand(Repeat(L'p', 700) + L"%PEL_V259%"), L"");
}
