// The portable rules of the shell integration: version classes, the file-type
// table, and the texts built from the install folder.
#include "engine/text_buffer.h"
#include "shell/file_type_table.h"
#include "shell/os_version.h"
#include "shell/os_version_rules.h"
#include "shell/registration_text.h"
#include "shell/shortcut_table.h"
#include "support/wide_print.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// ---- Windows version classes ------------------------------------------------

struct VersionCase {
    ReportedVersion Version;
    int ExpectedClass;
};

TEST(ShellVersionRules, EveryReleaseAndBoundary) {
    const VersionCase cases[] = {
        {{10, 0, 22000, 0}, 11},                          // first Windows 11 build
        {{10, 0, 22631, 0}, 11}, {{10, 0, 21999, 0}, 10}, // last build below
        {{10, 0, 19045, 0}, 10}, {{11, 0, 100, 0}, 10}, // a higher major still decides by the build
        {{6, 3, 9600, 0}, 8},                           // 8.1 has no class of its own
        {{6, 2, 9200, 0}, 8},    {{6, 1, 7601, 1}, 7},    {{6, 1, 7600, 0}, 7},
        {{6, 0, 6002, 2}, 6},    {{5, 2, 3790, 0}, 5}, // XP x64 / Server 2003 without a service
                                                       // pack
        {{5, 2, 3790, 2}, 5},    {{5, 1, 2600, 3}, 5},    {{5, 1, 2600, 2}, 1}, // XP SP2
        {{5, 1, 2600, 0}, 1},    {{5, 0, 2195, 4}, 0},                          // below 5.1
        {{4, 0, 1381, 6}, 0},
    };
    for (const VersionCase& c : cases) {
        const ReportedVersion& v = c.Version;
        EXPECT_EQ(ClassifyReportedVersion(v), c.ExpectedClass)
            << v.Major << "." << v.Minor << "." << v.Build << " SP" << v.ServicePackMajor;
    }
}

TEST(ShellVersionRules, AtLeastComparesInOrderOfRank) {
    const ReportedVersion v61sp0 = {6, 1, 7601, 0};
    EXPECT_TRUE(ReportedVersionAtLeast(v61sp0, 6, 0, 5)); // higher minor ignores the pack
    EXPECT_TRUE(ReportedVersionAtLeast(v61sp0, 5, 9, 9)); // higher major ignores the rest
    EXPECT_TRUE(ReportedVersionAtLeast(v61sp0, 6, 1, 0));
    EXPECT_FALSE(ReportedVersionAtLeast(v61sp0, 6, 1, 1));
    EXPECT_FALSE(ReportedVersionAtLeast(v61sp0, 6, 2, 0));
    EXPECT_FALSE(ReportedVersionAtLeast(v61sp0, 7, 0, 0));
}

bool AtLeastCapped(void* context, unsigned short major, unsigned short minor, unsigned short sp) {
    return ReportedVersionAtLeast(*static_cast<ReportedVersion*>(context), major, minor, sp);
}

TEST(ShellVersionRules, WithoutExactNumbersTheChainDecides) {
    // No RtlGetVersion: even Windows 11 ends at the top of the chain.
    ReportedVersion win11 = {10, 0, 22000, 0};
    EXPECT_EQ(ClassifyVersion(false, 10, 22000, AtLeastCapped, &win11), 8);
    // Exact numbers below 10 (8.1) with a test capped at 6.2 (no manifest entry).
    ReportedVersion capped = {6, 2, 9200, 0};
    EXPECT_EQ(ClassifyVersion(true, 6, 9600, AtLeastCapped, &capped), 8);
}

int g_classifyCalls = 0;
int g_classifyResult = 0;
int CountingClassify() {
    ++g_classifyCalls;
    return g_classifyResult;
}

TEST(ShellVersionRules, CacheClassifiesOnceUnlessClassZero) {
    int cache = 0;
    g_classifyCalls = 0;
    g_classifyResult = 7;
    EXPECT_EQ(ReadCachedVersionClass(&cache, CountingClassify), 7);
    EXPECT_EQ(ReadCachedVersionClass(&cache, CountingClassify), 7);
    EXPECT_EQ(g_classifyCalls, 1);

    cache = 0;
    g_classifyCalls = 0;
    g_classifyResult = 0;
    EXPECT_EQ(ReadCachedVersionClass(&cache, CountingClassify), 0);
    EXPECT_EQ(ReadCachedVersionClass(&cache, CountingClassify), 0);
    EXPECT_EQ(g_classifyCalls, 2);
}

TEST(ShellVersionCache, ProcessCacheHoldsTheFirstResult) {
    SetOsVersionClassForTesting(0);
    const int running = GetOsVersionClass();
    EXPECT_EQ(running, ClassifyWindowsVersion());
    EXPECT_TRUE(std::set<int>({0, 1, 5, 6, 7, 8, 10, 11}).count(running)) << running;
    SetOsVersionClassForTesting(running == 10 ? 7 : 10);
    EXPECT_EQ(GetOsVersionClass(), running == 10 ? 7 : 10); // not asked again
    SetOsVersionClassForTesting(0);
    EXPECT_EQ(GetOsVersionClass(), running);
    SetOsVersionClassForTesting(0);
}

// ---- File-type table ---------------------------------------------------------

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text)
        c = AsciiUpper(c);
    return text;
}

TEST(ShellFileTypeTable, CountsAndUniqueness) {
    std::set<std::wstring> extensions, suffixes;
    int pairs = 0;
    for (int i = 0; i < kFileTypeRowCount; ++i) {
        const FileTypeRow* row = FileTypeRowAt(i);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->Index, i);
        ASSERT_GE(row->RegistrationCount, 1);
        ASSERT_LE(row->RegistrationCount, kMaxRegistrationsPerRow);
        // The list's first column names the row's extensions in registration order.
        std::wstring group;
        for (int r = 0; r < row->RegistrationCount; ++r) {
            const FileTypeRegistration& reg = row->Registrations[r];
            extensions.insert(reg.Extension);
            suffixes.insert(reg.Suffix);
            for (const wchar_t* c = reg.Extension; *c; ++c)
                EXPECT_EQ(*c, AsciiLower(*c)) << "lower case: row " << i;
            group += (r ? L"/" : L"") + Upper(reg.Extension);
            ++pairs;
        }
        EXPECT_EQ(group, row->DisplayGroup) << "row " << i;
        EXPECT_EQ(row->ImagesOnly, i <= 48) << "row " << i;
    }
    EXPECT_EQ(pairs, 87);
    EXPECT_EQ(extensions.size(), 87u);
    EXPECT_EQ(suffixes.size(), 69u);
    EXPECT_EQ(FileTypeRowAt(-1), nullptr);
    EXPECT_EQ(FileTypeRowAt(63), nullptr);
}

TEST(ShellFileTypeTable, IconKinds) {
    std::set<int> self, icon9, icon8;
    for (int i = 0; i < kFileTypeRowCount; ++i) {
        switch (FileTypeRowAt(i)->Icon) {
        case IconSource::Self:
            self.insert(i);
            break;
        case IconSource::ViewerIcon9:
            icon9.insert(i);
            break;
        case IconSource::ViewerIcon8:
            icon8.insert(i);
            break;
        case IconSource::ViewerIcon0:
            break;
        }
    }
    EXPECT_EQ(self, std::set<int>({0, 5, 19})); // ANI, CUR, ICO
    EXPECT_EQ(icon9, std::set<int>({51, 52, 53, 54, 55}));
    EXPECT_EQ(icon8, std::set<int>({56, 57, 58, 59, 60, 61, 62}));
    EXPECT_STREQ(FileTypeRowAt(0)->DisplayGroup, L"ANI");
    EXPECT_STREQ(FileTypeRowAt(5)->DisplayGroup, L"CUR");
    EXPECT_STREQ(FileTypeRowAt(19)->DisplayGroup, L"ICO");
}

struct RowCase {
    int Index;
    const wchar_t* Description;
    std::wstring Pairs; // "ext>suffix" joined by blanks
};

TEST(ShellFileTypeTable, RowsWithSharedAndOwnSuffixes) {
    const RowCase cases[] = {
        {4, L"Canon RAW Format *", L"crw>crw cr2>cr2 cr3>cr3"},
        {23, L"JPEG Format", L"jpg>jpg jpeg>jpg jfif>jpg jpe>jpg"},
        {26, L"Multiple Network Graphics *", L"mng>mng jng>jng"},
        {43, L"Tagged Image File Format", L"tif>tif tiff>tif"},
        {49, L"Macromedia Flash Format *", L"swf>swf flv>flv"},
        {53, L"MPEG Movie *", L"mpg>mpg mpe>mpe mpeg>mpg"},
        {57, L"MIDI Sound Format *", L"mid>mid rmi>rmi"},
        {60, L"SUN Audio Format *", L"au>au snd>au"},
    };
    for (const RowCase& c : cases) {
        const FileTypeRow* row = FileTypeRowAt(c.Index);
        std::wstring pairs;
        for (int r = 0; r < row->RegistrationCount; ++r)
            pairs += (r ? L" " : L"") + std::wstring(row->Registrations[r].Extension) + L">" +
                     row->Registrations[r].Suffix;
        EXPECT_EQ(pairs, c.Pairs) << "row " << c.Index;
        EXPECT_STREQ(row->Description, c.Description);
    }
}

TEST(ShellFileTypeTable, Presets) {
    int flags[kAssociationFlagCount];
    SelectAllFileTypes(flags);
    for (int i = 0; i < kAssociationFlagCount; ++i)
        EXPECT_EQ(flags[i], 1) << i;
    SelectImagesOnly(flags); // after "all": the other rows are cleared again
    for (int i = 0; i < kAssociationFlagCount; ++i)
        EXPECT_EQ(flags[i], i <= 48 ? 1 : 0) << i;
    SelectNoFileTypes(flags);
    for (int i = 0; i < kAssociationFlagCount; ++i)
        EXPECT_EQ(flags[i], 0) << i;
}

TEST(ShellFileTypeTable, IconTexts) {
    wchar_t out[64];
    EXPECT_TRUE(BuildIconText(IconSource::Self, L"C:\\P\\p_lumb64.exe", out, 64));
    EXPECT_STREQ(out, L"%1");
    EXPECT_TRUE(BuildIconText(IconSource::ViewerIcon9, L"C:\\P\\p_lumb64.exe", out, 64));
    EXPECT_STREQ(out, L"C:\\P\\p_lumb64.exe,9");
    // Exactly filling the buffer works; one character less refuses.
    EXPECT_TRUE(BuildIconText(IconSource::ViewerIcon8, L"C:\\P\\p_lumb64.exe", out, 20));
    EXPECT_STREQ(out, L"C:\\P\\p_lumb64.exe,8");
    EXPECT_FALSE(BuildIconText(IconSource::ViewerIcon0, L"C:\\P\\p_lumb64.exe", out, 19));
    EXPECT_STREQ(out, L"");
}

// ---- Texts built from the install folder --------------------------------------

TEST(ShellRegistrationTexts, BuiltFromATrimmedFolder) {
    RegistrationTexts t;
    ASSERT_TRUE(BuildRegistrationTexts(L"  C:\\Programme\\Pellumbra  ", &t));
    EXPECT_STREQ(t.FolderText, L"C:\\Programme\\Pellumbra\\");
    EXPECT_STREQ(t.ViewerPath, L"C:\\Programme\\Pellumbra\\p_lumb64.exe");
    EXPECT_STREQ(t.OpenCommand, L"\"C:\\Programme\\Pellumbra\\p_lumb64.exe\" \"%1\"");
    EXPECT_STREQ(t.BrowseCommand, L"\"C:\\Programme\\Pellumbra\\p_lumb64.exe\" \"%1\" /thumbs");
    EXPECT_STREQ(t.QuotedViewerPath, L"\"C:\\Programme\\Pellumbra\\p_lumb64.exe\"");
    EXPECT_STREQ(t.UninstallString, L"\"C:\\Programme\\Pellumbra\\pl_uninstall.exe\"");
    EXPECT_STREQ(t.DisplayIcon, L"C:\\Programme\\Pellumbra\\p_lumb64.exe,0");
    EXPECT_STREQ(t.DisplayName, L"Pellumbra 4.66 (64-bit)");
    EXPECT_STREQ(t.DisplayVersion, L"4.66");
    EXPECT_STREQ(IconTextFor(t, IconSource::Self), L"%1");
    EXPECT_STREQ(IconTextFor(t, IconSource::ViewerIcon0),
                 L"C:\\Programme\\Pellumbra\\p_lumb64.exe,0");

    ASSERT_TRUE(BuildRegistrationTexts(L"C:\\Programme\\Pellumbra\\", &t));
    EXPECT_STREQ(t.FolderText, L"C:\\Programme\\Pellumbra\\"); // no second backslash
}

TEST(ShellRegistrationTexts, EmptyFolderIsRefused) {
    RegistrationTexts t;
    EXPECT_FALSE(BuildRegistrationTexts(L"", &t));
    EXPECT_FALSE(BuildRegistrationTexts(L"    ", &t));
    EXPECT_FALSE(BuildRegistrationTexts(nullptr, &t));
}

// A folder text of n characters including its final backslash.
std::wstring FolderOfLength(size_t n) {
    std::wstring folder = L"C:\\";
    while (folder.size() < n - 1)
        folder += (folder.size() % 40 == 39) ? L'\\' : L'a';
    return folder + L"\\";
}

TEST(ShellRegistrationTexts, LongestFolderFitsEveryText) {
    RegistrationTexts t;
    const std::wstring folder = FolderOfLength(kFolderTextChars - 1); // 263 characters
    ASSERT_TRUE(BuildRegistrationTexts(folder.c_str(), &t));
    EXPECT_EQ(std::wstring(t.FolderText), folder);
    EXPECT_EQ(std::wstring(t.BrowseCommand), L"\"" + folder + L"p_lumb64.exe\" \"%1\" /thumbs");
    EXPECT_EQ(std::wstring(t.UninstallString), L"\"" + folder + L"pl_uninstall.exe\"");
    EXPECT_EQ(std::wstring(IconTextFor(t, IconSource::ViewerIcon8)), folder + L"p_lumb64.exe,8");

    // The same folder without its backslash gets one and still fits.
    std::wstring bare = folder.substr(0, folder.size() - 1);
    ASSERT_TRUE(BuildRegistrationTexts(bare.c_str(), &t));
    EXPECT_EQ(std::wstring(t.FolderText), folder);

    // Trailing blanks do not count against the room, nor do leading ones of a
    // folder short enough to lose them.
    std::wstring padded = folder + std::wstring(200, L' ');
    ASSERT_TRUE(BuildRegistrationTexts(padded.c_str(), &t));
    EXPECT_EQ(std::wstring(t.FolderText), folder);
    const std::wstring shorter = FolderOfLength(250);
    padded = std::wstring(9, L' ') + shorter + std::wstring(200, L' ');
    ASSERT_TRUE(BuildRegistrationTexts(padded.c_str(), &t));
    EXPECT_EQ(std::wstring(t.FolderText), shorter);
}

TEST(ShellRegistrationTexts, OneCharacterMoreIsRefusedWhole) {
    RegistrationTexts t;
    const std::wstring folder = FolderOfLength(kFolderTextChars); // 264 characters
    EXPECT_FALSE(BuildRegistrationTexts(folder.c_str(), &t));
    EXPECT_STREQ(t.FolderText, L"");
    EXPECT_STREQ(t.ViewerPath, L"");
    EXPECT_STREQ(t.OpenCommand, L"");
    // 263 characters without the backslash: the completed text is one too long.
    std::wstring bare = FolderOfLength(kFolderTextChars);
    bare.pop_back();
    EXPECT_FALSE(BuildRegistrationTexts(bare.c_str(), &t));
    // Longer than the request's own buffer.
    EXPECT_FALSE(BuildRegistrationTexts(FolderOfLength(600).c_str(), &t));
}

TEST(ShellShortcutTable, LinkPaths) {
    wchar_t out[32];
    EXPECT_TRUE(ComposeLinkPath(L"C:\\Desk", L"a.lnk", out, 32));
    EXPECT_STREQ(out, L"C:\\Desk\\a.lnk");
    EXPECT_TRUE(ComposeLinkPath(L"C:\\Desk\\", L"a.lnk", out, 32));
    EXPECT_STREQ(out, L"C:\\Desk\\a.lnk");
    EXPECT_TRUE(ComposeLinkPath(L"C:\\Desk", L"a.lnk", out, 14)); // 13 characters
    EXPECT_FALSE(ComposeLinkPath(L"C:\\Desk", L"a.lnk", out, 13));
    EXPECT_STREQ(out, L"");
}

} // namespace
