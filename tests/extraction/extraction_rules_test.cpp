// The name rules the extraction applies before anything is written.
#include <gtest/gtest.h>

#include <string>

#include "engine/payload_extractor_rules.h"
#include "support/wide_print.h"

TEST(ExtractionRules, EntryNameSafetyTable) {
    struct Case {
        const wchar_t* name;
        bool safe;
    };
    const Case cases[] = {
        {L"p_lumb64.exe", true},
        {L"Plugins/", true},
        {L"Plugins/Plugins32/x.dll", true},
        {L"Help\\p_lumb32_deutsch.chm", true},
        {L"a..b/c..d.txt", true}, // dots inside a name are fine
        {L"..txt", true},
        {L".hidden", true},
        {L"a//b.txt", true},   // an empty component stays below the target
        {L"CONFIG.SYS", true}, // only the exact device names are reserved
        {L"COM10.txt", true},
        {L"LPT.txt", true},
        {L"console/x", true},
        {L"Ünïcödé €.txt", true},
        {L"", false},
        {L"..", false},
        {L"../x.txt", false},
        {L"..\\x.txt", false},
        {L"a/../../x.txt", false},
        {L"a/..", false},
        {L"./x.txt", false},
        {L"a/. ./x", false}, // trailing dots and blanks vanish: ". ." is ".."
        {L"... /x", false},
        {L"/x.txt", false},
        {L"\\x.txt", false},
        {L"\\\\server\\share\\x", false},
        {L"\\\\?\\C:\\x", false},
        {L"C:/x.txt", false},
        {L"C:x.txt", false},
        {L"c:\\x.txt", false},
        {L"x.txt:stream", false},
        {L"CON", false},
        {L"con", false},
        {L"sub/NUL", false},
        {L"nul.txt", false},
        {L"Aux.tar.gz", false},
        {L"PRN /x", false},
        {L"CON .txt", false},
        {L"COM1", false},
        {L"lpt9.log", false},
        {L"COM0", false},
        {L"COM\u00B9", false},
        {L"LPT\u00B3.txt", false},
        {L"CONIN$", false},
        {L"conout$.txt", false},
        {L"a\tb.txt", false},
        {L"a*b.txt", false},
        {L"a?b.txt", false},
        {L"a|b", false},
        {L"a<b>", false},
        {L"a\"b", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsEntryNameSafe(c.name), c.safe) << Utf8(c.name);
}

TEST(ExtractionRules, IconsLibraryInAnyCaseAndFolder) {
    EXPECT_TRUE(IsIconsLibraryEntry("Plugins/Icons.dll"));
    EXPECT_TRUE(IsIconsLibraryEntry("ICONS.DLL"));
    EXPECT_TRUE(IsIconsLibraryEntry("x/y/MyIcons.Dll.bak"));
    EXPECT_FALSE(IsIconsLibraryEntry("Plugins/Icons.dl"));
    EXPECT_FALSE(IsIconsLibraryEntry("Plugins/Icon.dll"));
    EXPECT_FALSE(IsIconsLibraryEntry(""));
    // Only A-Z fold: a non-ASCII byte is never taken for a letter.
    EXPECT_FALSE(IsIconsLibraryEntry("\xC9\x63ons.dll"));
}

TEST(ExtractionRules, NamePartAndFolderPart) {
    struct Case {
        const wchar_t* name;
        const wchar_t* part;
        std::size_t folder;
    };
    const Case cases[] = {
        {L"p_lumb64.exe", L"p_lumb64.exe", 0},
        {L"Plugins/", L"", 7},
        {L"Plugins/Plugins32/", L"", 17},
        {L"Plugins/Icons.dll", L"Icons.dll", 7},
        {L"Help\\a.chm", L"a.chm", 4},
        {L"a/b\\c", L"c", 3},
        {L"", L"", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::wstring(EntryNamePart(c.name)), c.part) << Utf8(c.name);
        EXPECT_EQ(EntryFolderLength(c.name), c.folder) << Utf8(c.name);
    }
}
