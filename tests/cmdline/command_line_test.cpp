// The silent command line: the option table and its edge cases as one table,
// the limits at their boundaries, and the process edge with the real registry.
#include "app/command_line.h"

#include "app/install_location.h"
#include "engine/product.h"
#include "shell/file_type_table.h"

#include "support/registry_fixture.h"
#include "support/wide_print.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

std::wstring Repeat(wchar_t c, std::size_t n) {
    return std::wstring(n, c);
}

class FakeLocations : public InstallLocations {
  public:
    FakeLocations(const wchar_t* existing, const wchar_t* fallback)
        : existing_(existing), default_(fallback) {}
    int FindExisting(wchar_t* out, std::size_t capacity) const override {
        if (!existing_) {
            out[0] = L'\0';
            return 0;
        }
        wcsncpy(out, existing_, capacity);
        return 1;
    }
    void GetDefault(wchar_t* out, std::size_t capacity) const override {
        wcsncpy(out, default_, capacity);
    }

  private:
    const wchar_t* existing_;
    const wchar_t* default_;
};

const wchar_t kProgram[] = L"\"C:\\Downloads\\setup.exe\" /silent ";
const wchar_t kDefault[] = L"C:\\Program Files\\Pellumbra";
const wchar_t kExisting[] = L"D:\\Tools\\Pellumbra\\";
const wchar_t kAppDataIni[] = L"%APPDATA%\\Pellumbra";

struct Expected {
    std::wstring folder;
    std::wstring ini;
    int desktop, thumbs, group, allUsers;
    int selected; // leading AssociationFlags elements set
};

void ExpectRequest(const InstallRequest& r, const Expected& e, const std::wstring& label) {
    SCOPED_TRACE(Utf8(label));
    EXPECT_EQ(std::wstring(r.InstallFolder), e.folder);
    EXPECT_EQ(std::wstring(r.IniFolder), e.ini);
    EXPECT_EQ(r.CreateDesktopLink, e.desktop);
    EXPECT_EQ(r.CreateThumbnailsLink, e.thumbs);
    EXPECT_EQ(r.CreateGroup, e.group);
    EXPECT_EQ(r.AllUsers, e.allUsers);
    int set = 0;
    bool leading = true;
    for (int i = 0; i < kAssociationFlagCount; ++i) {
        EXPECT_TRUE(r.AssociationFlags[i] == 0 || r.AssociationFlags[i] == 1);
        if (r.AssociationFlags[i]) {
            EXPECT_TRUE(leading) << "element " << i << " set after a gap";
            ++set;
        } else {
            leading = false;
        }
    }
    EXPECT_EQ(set, e.selected);
    EXPECT_EQ(r.AnyAssociation, e.selected > 0 ? 1 : 0);
    EXPECT_EQ(r.Silent, 1);
    EXPECT_STREQ(r.Caption, L"Pellumbra 64-bit Setup");
}

InstallRequest Build(const std::wstring& commandLine, const wchar_t* existing = nullptr) {
    FakeLocations lookups(existing, kDefault);
    InstallRequest r;
    std::memset(&r, 0x5A, sizeof r); // every field must be set, none kept from before
    BuildSilentRequest(commandLine.c_str(), lookups, r);
    return r;
}

} // namespace

TEST(SilentRequest, OptionTable) {
    const std::wstring p = kProgram;
    const std::wstring d = kDefault;
    struct Case {
        std::wstring options;
        const wchar_t* existing;
        Expected e;
    } cases[] = {
        // Defaults: an existing installation, or the default folder with the INI folder.
        {L"", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"", kExisting, {kExisting, L"", 0, 0, 0, 0, 0}},
        {L"/folder=\"D:\\My Apps\\Pel\" /desktop=1 /assoc=1",
         nullptr,
         {L"D:\\My Apps\\Pel", kAppDataIni, 1, 0, 0, 0, kImagesOnlyRowCount}},
        {L"/folder=\"D:\\x\"", kExisting, {L"D:\\x", L"", 0, 0, 0, 0, 0}},
        // Values end at the next slash.
        {L"/folder=C:/Pel", nullptr, {L"C:", kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/desktop=1/thumbs=1", nullptr, {d, kAppDataIni, 1, 1, 0, 0, 0}},
        {L"/folder=/desktop=1", nullptr, {L"", kAppDataIni, 1, 0, 0, 0, 0}},
        {L"/folder=", kExisting, {L"", L"", 0, 0, 0, 0, 0}},
        // Quotes and spaces: leading spaces stay, one pair of quotes goes.
        {L"/folder= C:\\a  /x", nullptr, {L" C:\\a", kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/folder=\"C:\\a b", nullptr, {L"C:\\a b", kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/folder=C:\\a b\" ", nullptr, {L"C:\\a b", kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/folder=\"\"", nullptr, {L"", kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/folder=\"", nullptr, {L"", kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/folder=\"\"C:\\a\"\"", nullptr, {L"\"C:\\a\"", kAppDataIni, 0, 0, 0, 0, 0}},
        // The INI folder: replaced, emptied, or kept with its references.
        {L"/ini=\"%LOCALAPPDATA%\\Pel\"",
         kExisting,
         {kExisting, L"%LOCALAPPDATA%\\Pel", 0, 0, 0, 0, 0}},
        {L"/ini= /desktop=1", nullptr, {d, L"", 1, 0, 0, 0, 0}},
        {L"/ini=", nullptr, {d, L"", 0, 0, 0, 0, 0}},
        // Integers: any non-zero value means yes.
        {L"/group=2 /allusers=1 /thumbs=1", nullptr, {d, kAppDataIni, 0, 1, 2, 1, 0}},
        {L"/group=-1", nullptr, {d, kAppDataIni, 0, 0, -1, 0, 0}},
        {L"/group=yes", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/group=\t +7x", nullptr, {d, kAppDataIni, 0, 0, 7, 0, 0}},
        {L"/group=-", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/group=4294967296", nullptr, {d, kAppDataIni, 0, 0, INT_MAX, 0, 0}},
        {L"/group=-99999999999", nullptr, {d, kAppDataIni, 0, 0, INT_MIN, 0, 0}},
        // "/assoc=" presets.
        {L"/assoc=2", nullptr, {d, kAppDataIni, 0, 0, 0, 0, kAssociationFlagCount}},
        {L"/assoc=1 ", nullptr, {d, kAppDataIni, 0, 0, 0, 0, kImagesOnlyRowCount}},
        {L"/assoc=3", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/assoc=0", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/assoc=x", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/assoc=4294967297", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/assocallusers", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/assocallusers /assoc=2", nullptr, {d, kAppDataIni, 0, 0, 0, 0, kAssociationFlagCount}},
        // Case-sensitive literals; the first occurrence wins.
        {L"/FOLDER=D:\\x /Desktop=1 /GROUP=1", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/desktop=0 /desktop=1", nullptr, {d, kAppDataIni, 0, 0, 0, 0, 0}},
        {L"/unknown=5 /desktop=1", nullptr, {d, kAppDataIni, 1, 0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        ExpectRequest(Build(p + c.options, c.existing), c.e, c.options);
}

// Preset 1 selects exactly the rows the file-type table marks ImagesOnly.
TEST(SilentRequest, ImagesPresetFollowsTheFileTypeTable) {
    InstallRequest r = Build(std::wstring(kProgram) + L"/assoc=1");
    for (int i = 0; i < kAssociationFlagCount; ++i) {
        const FileTypeRow* row = FileTypeRowAt(i);
        EXPECT_EQ(r.AssociationFlags[i], row && row->ImagesOnly ? 1 : 0) << "element " << i;
    }
}

TEST(SilentRequest, LiteralInsideTheProgramPathWins) {
    InstallRequest r = Build(L"\"C:\\x/group=1\\setup.exe\" /silent /group=0");
    EXPECT_EQ(r.CreateGroup, 1);
}

// A value ends 260 characters after the first character of its literal.
TEST(SilentRequest, ValueLengthLimits) {
    const std::wstring p = kProgram;
    InstallRequest r = Build(p + L"/folder=" + Repeat(L'a', 252));
    EXPECT_EQ(std::wstring(r.InstallFolder), Repeat(L'a', 252));
    r = Build(p + L"/folder=" + Repeat(L'a', 252) + L"b /desktop=1");
    EXPECT_EQ(std::wstring(r.InstallFolder), Repeat(L'a', 252));
    EXPECT_EQ(r.CreateDesktopLink, 1);
    r = Build(p + L"/folder=" + Repeat(L'a', 300));
    EXPECT_EQ(std::wstring(r.InstallFolder), Repeat(L'a', 252));

    r = Build(p + L"/ini=" + Repeat(L'i', 255) + L"j");
    EXPECT_EQ(std::wstring(r.IniFolder), Repeat(L'i', 255));

    // 250 characters for "/allusers=": the digit at 251 is cut off.
    r = Build(p + L"/allusers=" + Repeat(L'0', 249) + L"1");
    EXPECT_EQ(r.AllUsers, 1);
    r = Build(p + L"/allusers=" + Repeat(L'0', 250) + L"1");
    EXPECT_EQ(r.AllUsers, 0);
}

// Only the first 519 characters of the command line are searched.
TEST(SilentRequest, CommandLineLimit) {
    const std::wstring option = L"/group=7";
    const std::wstring at519 =
        kProgram + Repeat(L'x', 519 - option.size() - wcslen(kProgram)) + option;
    ASSERT_EQ(at519.size(), 519u);
    EXPECT_EQ(Build(at519).CreateGroup, 7);
    EXPECT_EQ(Build(at519 + L"8").CreateGroup, 7) << "the 520th character is not read";
    const std::wstring cut =
        kProgram + Repeat(L'x', 520 - option.size() - wcslen(kProgram)) + option;
    EXPECT_EQ(Build(cut).CreateGroup, 0) << "value cut off: empty, reads as 0";
    EXPECT_EQ(Build(cut + L" /desktop=1").CreateDesktopLink, 0) << "beyond the working copy";
    InstallRequest r = Build(kProgram + Repeat(L'y', 100000) + L" /folder=D:\\x");
    EXPECT_EQ(std::wstring(r.InstallFolder), kDefault);
}

TEST(ReadOptionValue, BoundsAndAbsence) {
    wchar_t value[8] = L"keep";
    EXPECT_FALSE(ReadOptionValue(L"a /b=1", L"/c=", value, 8));
    EXPECT_STREQ(value, L"keep");
    EXPECT_TRUE(ReadOptionValue(L"a /b=1234567890", L"/b=", value, 8));
    EXPECT_STREQ(value, L"1234567") << "never more than the buffer holds";
    EXPECT_TRUE(ReadOptionValue(L"a /b=", L"/b=", value, 8));
    EXPECT_STREQ(value, L"");
}

TEST(StripQuotes, Steps) {
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"\"C:\\a b\"  ", L"C:\\a b"}, {L"   ", L""}, {L"\"", L""}, {L"\" x \"", L" x"},
        {L" \"x\"", L" \"x"},           {L"x", L"x"},
    };
    for (const Case& c : cases) {
        wchar_t buf[32];
        wcsncpy(buf, c.in.c_str(), 32);
        StripQuotes(buf);
        EXPECT_EQ(std::wstring(buf), c.out) << Utf8(c.in);
    }
}

// The process edge: this test program's own command line and the registry.
using SilentRequestFromProcess = RegistryFixture;

TEST_F(SilentRequestFromProcess, UsesTheRegisteredInstallation) {
    WriteString(MachineKey(), kOpenCommandKey, nullptr, L"\"E:\\Pel Tools\\p_lumb64.exe\" \"%1\"");
    InstallRequest r;
    BuildSilentRequestFromProcess(r);
    EXPECT_STREQ(r.InstallFolder, L"E:\\Pel Tools\\");
    EXPECT_STREQ(r.IniFolder, L"");
    EXPECT_EQ(r.Silent, 1);
    EXPECT_EQ(r.AnyAssociation, 0);
}

TEST_F(SilentRequestFromProcess, UsesTheDefaultFolderWithoutInstallation) {
    InstallRequest r;
    BuildSilentRequestFromProcess(r);
    EXPECT_STREQ(r.InstallFolder, L"C:\\Pellumbra\\");
    EXPECT_STREQ(r.IniFolder, L"%APPDATA%\\Pellumbra");
    WriteString(MachineKey(), kCurrentVersionKey, kProgramFilesValue, L"C:\\Program Files");
    BuildSilentRequestFromProcess(r);
    EXPECT_STREQ(r.InstallFolder, L"C:\\Program Files\\Pellumbra");
}
