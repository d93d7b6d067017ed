// The silent command line on the build machine, under the sanitizers: the
// request from a command line at the limits of the working copy and of every
// value, with the lookups standing in for the registry.
#include "app/command_line.h"

#include "app/install_location.h"
#include "engine/text_buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

namespace {

class Locations : public InstallLocations {
  public:
    explicit Locations(const wchar_t* openCommand) : openCommand_(openCommand) {}
    int FindExisting(wchar_t* out, std::size_t capacity) const override {
        return openCommand_ ? InstallFolderFromOpenCommand(openCommand_, out, capacity) : 0;
    }
    void GetDefault(wchar_t* out, std::size_t capacity) const override {
        DefaultFolderFromProgramFiles(L"C:\\Program Files", out, capacity);
    }

  private:
    const wchar_t* openCommand_;
};

// The request on the heap with nothing around it: ASan sees a write past it.
std::unique_ptr<InstallRequest> Build(const std::wstring& line,
                                      const wchar_t* openCommand = nullptr) {
    std::unique_ptr<InstallRequest> r(new InstallRequest);
    std::memset(r.get(), 0x5A, sizeof(InstallRequest));
    // The command line in a block of exactly its size: no read past its end.
    std::unique_ptr<wchar_t[]> text(new wchar_t[line.size() + 1]);
    std::wmemcpy(text.get(), line.c_str(), line.size() + 1);
    BuildSilentRequest(text.get(), Locations(openCommand), *r);
    return r;
}

const std::wstring kProgram = L"\"C:\\Downloads\\setup.exe\" /silent ";

} // namespace

TEST(NativeSilentRequest, DefaultsFromTheLookups) {
    auto r = Build(kProgram);
    EXPECT_STREQ(r->InstallFolder, L"C:\\Program Files\\Pellumbra");
    EXPECT_STREQ(r->IniFolder, L"%APPDATA%\\Pellumbra");
    r = Build(kProgram, L"\"E:\\Pel Tools\\p_lumb64.exe\" \"%1\"");
    EXPECT_STREQ(r->InstallFolder, L"E:\\Pel Tools\\");
    EXPECT_STREQ(r->IniFolder, L"");
    // A command that names some other program is no installation of the viewer.
    r = Build(kProgram, L"\"E:\\Other\\p_lumb64.exe.bak\" \"%1\"");
    EXPECT_STREQ(r->InstallFolder, L"C:\\Program Files\\Pellumbra");
}

// Text values stop 260 characters after their literal's first character:
// 252 for "/folder=", 255 for "/ini=", whatever follows.
TEST(NativeSilentRequest, TextValuesAtTheirLimits) {
    auto r = Build(kProgram + L"/folder=\"" + std::wstring(251, L'f') + L"\"");
    EXPECT_EQ(std::wstring(r->InstallFolder), std::wstring(251, L'f'))
        << "both quotes inside the limit go";
    r = Build(kProgram + L"/folder=\"" + std::wstring(250, L'f') + L"x\"");
    EXPECT_EQ(std::wstring(r->InstallFolder), std::wstring(250, L'f') + L"x")
        << "the closing quote is past the limit: only the opening one goes";
    r = Build(kProgram + L"/ini=" + std::wstring(400, L'i'));
    EXPECT_EQ(std::wstring(r->IniFolder), std::wstring(255, L'i'));
}

// Characters beyond U+FFFF are one wchar_t here and two on Windows; either
// way they are copied as they stand and never cut into halves by the rules.
TEST(NativeSilentRequest, CharactersBeyondTheBasicPlane) {
    const std::wstring folder = L"D:\\Bilder \U0001F4F7\\Pel";
    auto r = Build(kProgram + L"/folder=\"" + folder + L"\" /desktop=1");
    EXPECT_EQ(std::wstring(r->InstallFolder), folder);
    EXPECT_EQ(r->CreateDesktopLink, 1);
}

// The working copy holds 519 characters; an option whose value runs into
// the 520th character reads only up to it.
TEST(NativeSilentRequest, WorkingCopyBoundary) {
    const std::wstring option = L"/desktop=";
    std::wstring line = kProgram + std::wstring(519 - kProgram.size() - option.size() - 1, L'x');
    line += option + L"5";
    ASSERT_EQ(line.size(), 519u);
    EXPECT_EQ(Build(line)->CreateDesktopLink, 5);
    EXPECT_EQ(Build(line + L"7")->CreateDesktopLink, 5);
    line.insert(kProgram.size(), L"x");
    EXPECT_EQ(Build(line)->CreateDesktopLink, 0);
}

TEST(NativeOptionInteger, SaturatesInsteadOfWrapping) {
    EXPECT_EQ(ParseOptionInteger(L"2147483647"), INT_MAX);
    EXPECT_EQ(ParseOptionInteger(L"2147483648"), INT_MAX);
    EXPECT_EQ(ParseOptionInteger(L"-2147483648"), INT_MIN);
    EXPECT_EQ(ParseOptionInteger(L"-2147483649"), INT_MIN);
    EXPECT_EQ(ParseOptionInteger((L" +" + std::wstring(300, L'9')).c_str()), INT_MAX);
    EXPECT_EQ(ParseOptionInteger(L"4294967296"), INT_MAX) << "no wrap to 0 (a yes kept as yes)";
    EXPECT_EQ(ParseOptionInteger(L"\x0663"), 0) << "only ASCII digits count";
}
