// Rules of the installation driver that need no Windows state: the icon
// library's version rule, the install-folder length rule, the failure texts.
#include "engine/install_driver.h"
#include "engine/text_buffer.h"

#include <gtest/gtest.h>

#include <string>

TEST(VersionNumber, ReadsTheLeadingNumberInSinglePrecision) {
    struct Case {
        const wchar_t* text;
        int number;
    } cases[] = {
        {L"4.30", 4300},
        {L"4.31", 4310},
        {L"4.100", 4100},  // product 4.10 with file component 0: older than 4.30
        {L"4.29", 4290},   // 4.29f * 1000f rounds up in single precision
        {L"5.00", 5000},
        {L"0.00", 0},
        {L"", 0},
        {L"abc", 0},
        {L"4.30beta", 4300},
        {L"1e30", 2000000000},  // damaged records stay defined
    };
    for (const Case& c : cases)
        EXPECT_EQ(VersionNumber(c.text), c.number) << std::wstring(c.text).size();
}

TEST(IconsLibraryRule, NewerStaysOlderOnlyReplacedWhenTheMakersOwn) {
    struct Case {
        int hasVersion;
        const wchar_t* version;
        const wchar_t* company;
        IconsDecision decision;
    } cases[] = {
        {0, L"", L"", IconsDecision::Replace},  // no file or no version record
        {1, L"4.31", L"Marrowick", IconsDecision::Keep},
        {1, L"4.31", L"Someone Else", IconsDecision::Keep},
        {1, L"4.29", L"Marrowick", IconsDecision::Replace},
        {1, L"4.29", L"MARROWICK", IconsDecision::Replace},
        {1, L"4.29", L"Someone Else", IconsDecision::Keep},
        {1, L"4.29", L"", IconsDecision::Keep},
        {1, L"4.100", L"marrowick", IconsDecision::Replace},
        {1, L"4.30", L"Marrowick", IconsDecision::DependsOnSize},
        {1, L"4.30", L"Someone Else", IconsDecision::DependsOnSize},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideIconsLibrary(c.hasVersion, c.version, c.company), c.decision)
            << c.hasVersion << " " << std::wstring(c.version).size();
}

TEST(IconsLibraryRule, ReferenceVersionReplacedOnlyAtTheExactSizeFromTheMaker) {
    EXPECT_TRUE(ReplaceIconsOfReferenceVersion(226816, L"Marrowick"));
    EXPECT_TRUE(ReplaceIconsOfReferenceVersion(226816, L"marrowick"));
    EXPECT_FALSE(ReplaceIconsOfReferenceVersion(226816, L"Other"));
    EXPECT_FALSE(ReplaceIconsOfReferenceVersion(226815, L"Marrowick"));
    EXPECT_FALSE(ReplaceIconsOfReferenceVersion(226817, L"Marrowick"));
    EXPECT_FALSE(ReplaceIconsOfReferenceVersion(-1, L"Marrowick"));
}

TEST(InstallFolderLength, RefusedExactlyWhenTheLongestWrittenPathWouldPass259) {
    const std::size_t room = 259 - LongestInstalledRelativePath();
    wchar_t normalised[520];

    // "C:\" plus filler plus "\" reaching exactly the room left: accepted.
    std::wstring fits = L"C:\\" + std::wstring(room - 4, L'a') + L"\\";
    ASSERT_EQ(fits.size(), room);
    EXPECT_TRUE(InstallFolderFits(fits.c_str(), normalised, 520));
    EXPECT_EQ(std::wstring(normalised), fits);

    // The same without the final backslash counts the one it gets.
    std::wstring noSlash = fits.substr(0, fits.size() - 1);
    EXPECT_TRUE(InstallFolderFits(noSlash.c_str(), normalised, 520));
    EXPECT_EQ(std::wstring(normalised), fits);

    // Surrounding spaces do not count.
    std::wstring spaced = L"   " + noSlash + L"   ";
    EXPECT_TRUE(InstallFolderFits(spaced.c_str(), normalised, 520));

    std::wstring tooLong = L"C:\\" + std::wstring(room - 3, L'a') + L"\\";
    EXPECT_FALSE(InstallFolderFits(tooLong.c_str(), normalised, 520));
    EXPECT_EQ(std::wstring(normalised), tooLong);

    // The longest text a request can carry is refused without overflow.
    std::wstring longest(519, L'x');
    EXPECT_FALSE(InstallFolderFits(longest.c_str(), normalised, 520));
    EXPECT_EQ(TextLength(normalised), 519u);
}

TEST(FailureText, MessageFirstOrFolderFirstAndAlwaysBounded) {
    wchar_t out[520];
    ComposeFailureText(false, L"Ungültiges Zielverzeichnis!", L"", out, 520);
    EXPECT_EQ(std::wstring(out), L"Ungültiges Zielverzeichnis!: ");
    ComposeFailureText(true, L"Fehler", L"C:\\P\\", out, 520);
    EXPECT_EQ(std::wstring(out), L"C:\\P\\: Fehler");

    std::wstring longFolder(519, L'f');
    ComposeFailureText(false, L"M", longFolder.c_str(), out, 520);
    EXPECT_EQ(TextLength(out), 519u);
    EXPECT_EQ(std::wstring(out).substr(0, 3), L"M: ");

    wchar_t small[4];
    ComposeFailureText(true, L"message", L"folder", small, 4);
    EXPECT_EQ(std::wstring(small), L"fol");
}
