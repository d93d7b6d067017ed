// The wizard's rules over plain texts, by tables of cases.
#include "support/wide_print.h"
#include "wizard/wizard_rules.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

namespace {

std::wstring Repeat(wchar_t c, std::size_t n) {
    return std::wstring(n, c);
}

// A folder text of exactly `length` characters: "C:\" and 'a's, ending in `last`.
std::wstring PathOfLength(std::size_t length, wchar_t last = L'a') {
    std::wstring text = L"C:\\" + Repeat(L'a', length - 4) + last;
    EXPECT_EQ(text.size(), length);
    return text;
}

std::wstring Completed(const std::wstring& chosen, bool* whole = nullptr) {
    wchar_t out[kFieldChars];
    bool ok = CompleteBrowsedFolder(chosen.c_str(), out, kFieldChars);
    if (whole)
        *whole = ok;
    return out;
}

TEST(WizardBrowseRule, CompletesTheChosenFolderWithTheProductName) {
    struct Case {
        const wchar_t* chosen;
        const wchar_t* field;
    };
    const Case cases[] = {
        {L"C:\\Programme\\", L"C:\\Programme\\Pellumbra\\"},
        {L"C:\\Programme", L"C:\\Programme\\Pellumbra\\"},
        {L"C:\\Programme\\Pellumbra\\", L"C:\\Programme\\Pellumbra\\"},
        {L"C:\\Programme\\Pellumbra", L"C:\\Programme\\Pellumbra\\"},
        {L"C:\\Tools\\PELLUMBRA\\", L"C:\\Tools\\PELLUMBRA\\"},
        {L"C:\\Tools\\pellumbra", L"C:\\Tools\\pellumbra\\"},
        {L"D:\\", L"D:\\Pellumbra\\"},
        {L"D:", L"D:\\Pellumbra\\"},
        {L"\\\\server\\share\\", L"\\\\server\\share\\Pellumbra\\"},
        {L"\\\\server\\share\\Pellumbra", L"\\\\server\\share\\Pellumbra\\"},
        // Only the last name counts, and only as a whole name.
        {L"C:\\Pellumbra\\Bilder", L"C:\\Pellumbra\\Bilder\\Pellumbra\\"},
        {L"C:\\Pellumbra2", L"C:\\Pellumbra2\\Pellumbra\\"},
        {L"C:\\Bild Ü", L"C:\\Bild Ü\\Pellumbra\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8(Completed(c.chosen)), Utf8(c.field)) << Utf8(c.chosen);
}

// The rule may lengthen the text by 11 characters; the field never gets more
// than its readers take (259): a completion that does not fit is left off.
TEST(WizardBrowseRule, NeverHandsTheFieldMoreThan259Characters) {
    struct Case {
        std::wstring chosen;
        std::wstring field;
        bool whole;
    };
    const std::wstring at248 = PathOfLength(248);
    const std::wstring at249 = PathOfLength(249);
    const std::wstring at258 = PathOfLength(258);
    const std::wstring at259 = PathOfLength(259);
    const std::vector<Case> cases = {
        {at248, at248 + L"\\Pellumbra\\", true},         // 259: fits exactly
        {at249, at249 + L"\\", false},                   // 260 would not fit: name left off
        {at248 + L"\\", at248 + L"\\Pellumbra\\", true}, // 249 + 10 = 259
        {at258, at258 + L"\\", false},
        {at259, at259, false}, // not even the backslash fits
        {PathOfLength(259, L'\\'), PathOfLength(259, L'\\'), false},
    };
    for (const Case& c : cases) {
        bool whole = true;
        std::wstring field = Completed(c.chosen, &whole);
        EXPECT_EQ(field, c.field) << c.chosen.size();
        EXPECT_LE(field.size(), kFieldMaxLength);
        EXPECT_EQ(whole, c.whole) << c.chosen.size();
    }
}

TEST(WizardBrowseRule, RespectsASmallerOutputBuffer) {
    wchar_t out[12];
    EXPECT_FALSE(CompleteBrowsedFolder(L"C:\\Tools", out, 12));
    EXPECT_EQ(std::wstring(out), L"C:\\Tools\\");
    EXPECT_FALSE(CompleteBrowsedFolder(L"C:\\Programme", out, 12));
    EXPECT_EQ(std::wstring(out), L"");
}

TEST(WizardBrowseRule, StartFolderDropsTheFinalSeparatorExceptOnADriveRoot) {
    struct Case {
        const wchar_t* field;
        const wchar_t* start;
    };
    const Case cases[] = {
        {L"D:\\Pellumbra\\", L"D:\\Pellumbra"},
        {L"D:\\Pellumbra", L"D:\\Pellumbra"},
        {L"D:\\", L"D:\\"},
        {L"D:\\\\", L"D:\\"},
        {L"\\\\s\\", L"\\\\s"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        wchar_t out[kFieldChars];
        BrowseStartFolder(c.field, out, kFieldChars);
        EXPECT_EQ(std::wstring(out), c.start) << Utf8(c.field);
    }
}

TEST(WizardWelcomeValidation, RequiresADrivePart) {
    struct Case {
        const wchar_t* text;
        bool accepted;
    };
    const Case cases[] = {
        {L"", false},
        {L"Programme\\Pellumbra", false},
        {L"\\\\server\\share\\Pellumbra", false},
        {L" C:\\Pellumbra", false},
        {L"C", false},
        {L"C:", true},
        {L"C:\\Programme\\Pellumbra", true},
        {L"C:Pellumbra", true},
        {L"z:\\x ", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAcceptableInstallFolder(c.text), c.accepted) << Utf8(c.text);
}

TEST(WizardTemplateText, FillsTheMarkersWithoutUsingTheTextAsAFormat) {
    const wchar_t* version[] = {L"4.66", L"64"};
    struct Case {
        const wchar_t* pattern;
        int values;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"Willkommen zur Pellumbra %s Installation!", 1,
         L"Willkommen zur Pellumbra 4.66 Installation!"},
        {L"Version  %s  (%s bit)", 2, L"Version  4.66  (64 bit)"},
        {L"%s %s %s", 2, L"4.66 64 %s"},
        {L"100%% %d %n %", 2, L"100% %d %n %"},
        {L"", 2, L""},
    };
    for (const Case& c : cases) {
        wchar_t out[128];
        EXPECT_TRUE(FillTemplateText(c.pattern, version, c.values, out, 128));
        EXPECT_EQ(std::wstring(out), c.text) << Utf8(c.pattern);
    }
    wchar_t small[8];
    EXPECT_FALSE(FillTemplateText(L"Version %s", version, 1, small, 8));
    EXPECT_EQ(std::wstring(small), L"Version");
}

bool AsciiLetterOrDigit(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'\x00fc';
}

std::wstring PrepareHistory(const std::wstring& resource) {
    std::vector<wchar_t> buffer(kWhatsNewChars, L'x');
    PrepareWhatsNewText(resource.data(), resource.size() * sizeof(wchar_t), buffer.data(),
                        buffer.size(), AsciiLetterOrDigit);
    for (std::size_t i = std::wstring(buffer.data()).size(); i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], L'\0') << "the rest of the buffer is zero";
    return buffer.data();
}

TEST(WizardWhatsNewText, CleansTheTailBackwardsToTheLastLetterOrDigit) {
    struct Case {
        std::wstring resource;
        std::wstring shown;
    };
    const std::vector<Case> cases = {
        {L"\xFEFFVersion 4.66\r\n- Plug-in-Paket erneut installieren\r\n  ",
         L"\xFEFFVersion 4.66\r\n- Plug-in-Paket erneut installieren"},
        {L"\xFEFF \r\n.,;:!?()-- \t\r\n", L""},
        {L"Ende (siehe 4.66).", L"Ende (siehe 4.66"},
        {L"f\x00fcr.\r\n", L"f\x00fcr"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8(PrepareHistory(c.resource)), Utf8(c.shown));
}

TEST(WizardWhatsNewText, TakesAtMost10239CharactersBeforeTheCleanUp) {
    // 10,239 letters and then more: the cut comes first.
    std::wstring longText = Repeat(L'a', kWhatsNewChars - 2) + L"b" + L"cdef";
    std::wstring shown = PrepareHistory(longText);
    EXPECT_EQ(shown.size(), kWhatsNewChars - 1);
    EXPECT_EQ(shown.back(), L'b');
    // Cut inside the trailing blanks: they go; the letters before stay.
    std::wstring blanks = Repeat(L'a', kWhatsNewChars - 3) + L"  z";
    EXPECT_EQ(PrepareHistory(blanks), Repeat(L'a', kWhatsNewChars - 3));
    // An odd byte count drops the half character.
    std::wstring two = L"ab";
    wchar_t buffer[4];
    PrepareWhatsNewText(two.data(), 3, buffer, 4, AsciiLetterOrDigit);
    EXPECT_EQ(std::wstring(buffer), L"a");
    // No data: an empty text.
    PrepareWhatsNewText(nullptr, 100, buffer, 4, AsciiLetterOrDigit);
    EXPECT_EQ(std::wstring(buffer), L"");
}

TEST(WizardReadyRules, FolderLineJoinsLabelAndFolder) {
    wchar_t out[312];
    FormatReadyFolderLine(L"Zielverzeichnis", L"C:\\Programme\\Pellumbra", out, 312);
    EXPECT_EQ(std::wstring(out), L"Zielverzeichnis: C:\\Programme\\Pellumbra");
    // The longest label and folder fit the page's buffer whole.
    const std::wstring label = Repeat(L'L', 49);
    const std::wstring folder = Repeat(L'f', kFieldMaxLength);
    FormatReadyFolderLine(label.c_str(), folder.c_str(), out, 312);
    EXPECT_EQ(std::wstring(out), label + L": " + folder);
    wchar_t small[20];
    FormatReadyFolderLine(L"Zielverzeichnis", L"C:\\Programme", small, 20);
    EXPECT_EQ(std::wstring(small), L"Zielverzeichnis: C:");
}

TEST(WizardReadyRules, ListRowsBecomeAssociationFlags) {
    struct Case {
        std::vector<unsigned> states;
        std::vector<int> selected;
    };
    std::vector<unsigned> all63(63, 1);
    std::vector<unsigned> ticked63(63, 2);
    std::vector<unsigned> hundred(100, 2);
    std::vector<unsigned> mixed(63, 1);
    mixed[0] = 2;
    mixed[17] = 0; // no box at all: counts as selected
    mixed[62] = 2;
    std::vector<int> allRows;
    for (int i = 0; i < 63; ++i)
        allRows.push_back(i);
    std::vector<int> sixtyFour = allRows;
    sixtyFour.push_back(63);
    const std::vector<Case> cases = {
        {all63, {}},
        {mixed, {0, 17, 62}},
        {ticked63, allRows},
        {hundred, sixtyFour}, // never more than 64 rows read
        {{}, {}},
    };
    for (const Case& c : cases) {
        int flags[kAssociationFlagCount];
        for (int& f : flags)
            f = 7;
        int any = AssociationFlagsFromStateImages(c.states.data(),
                                                  static_cast<int>(c.states.size()), flags);
        std::vector<int> selected;
        for (int i = 0; i < kAssociationFlagCount; ++i) {
            EXPECT_TRUE(flags[i] == 0 || flags[i] == 1);
            if (flags[i])
                selected.push_back(i);
        }
        EXPECT_EQ(selected, c.selected);
        EXPECT_EQ(any, c.selected.empty() ? 0 : 1);
    }
}

TEST(WizardFileTypeRules, PresetsTickTheirRows) {
    for (int row = 0; row < 63; ++row) {
        EXPECT_EQ(PresetTicksRow(FileTypePreset::ImagesOnly, row), row <= 48) << row;
        EXPECT_TRUE(PresetTicksRow(FileTypePreset::All, row));
        EXPECT_FALSE(PresetTicksRow(FileTypePreset::None, row));
    }
}

TEST(WizardFinishRules, ViewerPathHasOneSeparator) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* path;
    };
    const Case cases[] = {
        {L"C:\\Programme\\Pellumbra", L"C:\\Programme\\Pellumbra\\p_lumb64.exe"},
        {L"C:\\Programme\\Pellumbra\\", L"C:\\Programme\\Pellumbra\\p_lumb64.exe"},
        {L"", L"\\p_lumb64.exe"},
    };
    for (const Case& c : cases) {
        wchar_t out[280];
        EXPECT_TRUE(BuildViewerPath(c.folder, out, 280));
        EXPECT_EQ(std::wstring(out), c.path);
    }
    // The longest field text (259) with both additions fits the sheet's buffer.
    const std::wstring longest = PathOfLength(kFieldMaxLength);
    wchar_t out[kFieldChars + 16];
    EXPECT_TRUE(BuildViewerPath(longest.c_str(), out, kFieldChars + 16));
    EXPECT_EQ(std::wstring(out), longest + L"\\p_lumb64.exe");
    wchar_t tight[kFieldChars + 13];
    EXPECT_TRUE(BuildViewerPath(longest.c_str(), tight, kFieldChars + 13));
    EXPECT_FALSE(BuildViewerPath(longest.c_str(), tight, kFieldChars + 12));
    EXPECT_EQ(std::wstring(tight), L"") << "nothing half-built is started";
}

TEST(WizardPageFlow, NeighbourSkipsPagesOutOfTheFlowAndStopsAtTheEnds) {
    const int all[] = {1, 1, 1, 1, 1};
    EXPECT_EQ(NeighbourPosition(0, 1, all, 5), 1);
    EXPECT_EQ(NeighbourPosition(3, 1, all, 5), 4);
    EXPECT_EQ(NeighbourPosition(4, 1, all, 5), -1);
    EXPECT_EQ(NeighbourPosition(0, -1, all, 5), -1);
    EXPECT_EQ(NeighbourPosition(2, -1, all, 5), 1);
    const int gaps[] = {1, 0, 0, 1, 0};
    EXPECT_EQ(NeighbourPosition(0, 1, gaps, 5), 3);
    EXPECT_EQ(NeighbourPosition(3, 1, gaps, 5), -1);
    EXPECT_EQ(NeighbourPosition(3, -1, gaps, 5), 0);
}

} // namespace
