// The settings file through the real private-profile functions, read back as
// bytes, and its rewrite as UTF-16LE.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/settings_file.h"
#include "support/folder_fixture.h"
#include "support/wide_print.h"

namespace {

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(path, &bytes)) << Utf8(path);
    return bytes;
}

std::string Utf16Le(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return out;
}

// The whole text converted at once, as the chunked conversion must give it.
std::wstring FromAnsi(const std::string& bytes, UINT codePage = CP_ACP) {
    if (bytes.empty())
        return L"";
    int n =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
    return out;
}

const std::string kBomAndHeader =
    std::string("\xFF\xFE") + Utf16Le(L"; UNICODE FILE - edit with care ;-)\r\n\r\n");

std::wstring Value(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    wchar_t buf[260] = {};
    GetPrivateProfileStringW(section, key, L"<none>", buf, 260, file.c_str());
    return buf;
}

// The toolbar choice for this display, from queries of its own.
ToolbarChoice ExpectedToolbar() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return ChooseToolbarSkinFor(GetSystemMetrics(SM_CYFULLSCREEN), dpi * 100 / 96);
}

int Convert(const std::wstring& path) {
    std::FILE* source = _wfopen(path.c_str(), L"rb");
    EXPECT_NE(source, nullptr) << Utf8(path);
    return source ? ConvertSettingsToUnicode(path.c_str(), source) : -9;
}

class SettingsFile : public FolderFixture {
  protected:
    std::wstring Install() const { return PathOf(L"p_lumb64.ini"); }
    std::wstring TempFile() const { return PathOf(L"p_lumb64.ini_temp"); }
};

} // namespace

TEST_F(SettingsFile, FreshInstallationEndsInUnicodeWithLanguageAndToolbar) {
    PrepareSettingsFile(Install().c_str(), L"", Install().c_str());
    const std::string ansi = ReadAll(Install());
    ToolbarChoice toolbar = ExpectedToolbar();
    EXPECT_NE(ansi.find("[Language]\r\nDLL=DEUTSCH.DLL\r\nLang=Deutsch\r\n"), std::string::npos)
        << ansi;
    EXPECT_NE(ansi.find("[Toolbar]\r\nSkin=" + Utf8(toolbar.skin) +
                        "\r\nSize=" + Utf8(toolbar.size) + "\r\n"),
              std::string::npos)
        << ansi;
    EXPECT_EQ(ansi.find("INI_Folder"), std::string::npos) << ansi;

    EXPECT_EQ(Convert(Install()), 1);
    EXPECT_EQ(ReadAll(Install()), kBomAndHeader + Utf16Le(FromAnsi(ansi)));
    EXPECT_FALSE(FileExists(TempFile()));
    // The profile functions go on reading and writing the Unicode file.
    EXPECT_EQ(Value(Install(), L"Language", L"Lang"), L"Deutsch");
    EXPECT_EQ(Value(Install(), L"Toolbar", L"Skin"), toolbar.skin);
}

TEST_F(SettingsFile, ExistingSkinStopsTheToolbarStepAndLanguageIsRewritten) {
    ASSERT_TRUE(WriteFileBytes(Install(), "[Language]\r\nDLL=ENGLISH.DLL\r\nLang=English\r\n"
                                          "[Toolbar]\r\nSkin=mine.png\r\n"
                                          "[Others]\r\nINI_Folder=D:\\old\r\n"));
    PrepareSettingsFile(Install().c_str(), L"", Install().c_str());
    EXPECT_EQ(Value(Install(), L"Toolbar", L"Skin"), L"mine.png");
    EXPECT_EQ(Value(Install(), L"Toolbar", L"Size"), L"<none>");
    EXPECT_EQ(Value(Install(), L"Language", L"DLL"), L"DEUTSCH.DLL");
    EXPECT_EQ(Value(Install(), L"Language", L"Lang"), L"Deutsch");
    // No INI folder any more: the old pointer is removed.
    EXPECT_EQ(Value(Install(), L"Others", L"INI_Folder"), L"<none>");
}

TEST_F(SettingsFile, EmptySkinCountsAsMissing) {
    ASSERT_TRUE(WriteFileBytes(Install(), "[Toolbar]\r\nSkin=\r\nSize=99\r\n"));
    PrepareSettingsFile(Install().c_str(), L"", Install().c_str());
    ToolbarChoice toolbar = ExpectedToolbar();
    EXPECT_EQ(Value(Install(), L"Toolbar", L"Skin"), toolbar.skin);
    EXPECT_EQ(Value(Install(), L"Toolbar", L"Size"), toolbar.size);
}

TEST_F(SettingsFile, SeparateIniFolderGetsTheKeysAndTheInstallFileOnlyThePointer) {
    ASSERT_TRUE(CreateDirectoryW(PathOf(L"inst").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(PathOf(L"AppData").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(PathOf(L"AppData\\Pellumbra").c_str(), nullptr));
    const std::wstring install = PathOf(L"inst\\p_lumb64.ini");
    const std::wstring active = PathOf(L"AppData\\Pellumbra\\p_lumb64.ini");

    PrepareSettingsFile(install.c_str(), L"%APPDATA%\\Pellumbra", active.c_str());

    EXPECT_EQ(ReadAll(install), "[Others]\r\nINI_Folder=%APPDATA%\\Pellumbra\r\n");
    EXPECT_EQ(Value(active, L"Language", L"DLL"), L"DEUTSCH.DLL");
    EXPECT_EQ(Value(active, L"Language", L"Lang"), L"Deutsch");
    EXPECT_EQ(Value(active, L"Toolbar", L"Skin"), ExpectedToolbar().skin);
    EXPECT_EQ(Value(active, L"Others", L"INI_Folder"), L"<none>");
    EXPECT_EQ(Value(active, L"Language", L"DefaultLang"), L"<none>");
}

TEST_F(SettingsFile, PortableFolderAlsoGetsLanguageAndMidSizeToolbarInTheInstallFile) {
    ASSERT_TRUE(CreateDirectoryW(PathOf(L"Pellumbra64_App").c_str(), nullptr));
    const std::wstring iniFolder = PathOf(L"Pellumbra64_App");
    const std::wstring active = PathOf(L"Pellumbra64_App\\p_lumb64.ini");

    PrepareSettingsFile(Install().c_str(), iniFolder.c_str(), active.c_str());

    EXPECT_EQ(Value(Install(), L"Others", L"INI_Folder"), iniFolder);
    EXPECT_EQ(Value(Install(), L"Language", L"DefaultLang"), L"DEUTSCH.DLL");
    EXPECT_EQ(Value(Install(), L"Language", L"Lang"), L"Deutsch");
    EXPECT_EQ(Value(Install(), L"Language", L"DLL"), L"<none>");
    EXPECT_EQ(Value(Install(), L"Toolbar", L"Skin"), L"Ember_24.png");
    EXPECT_EQ(Value(Install(), L"Toolbar", L"Size"), L"24");
    EXPECT_EQ(Value(active, L"Language", L"DLL"), L"DEUTSCH.DLL");
    EXPECT_EQ(Value(active, L"Toolbar", L"Skin"), ExpectedToolbar().skin);

    // With a skin already chosen in the active file, neither file gets toolbar keys.
    DeleteFileW(Install().c_str());
    PrepareSettingsFile(Install().c_str(), iniFolder.c_str(), active.c_str());
    EXPECT_EQ(Value(Install(), L"Language", L"DefaultLang"), L"DEUTSCH.DLL");
    EXPECT_EQ(Value(Install(), L"Toolbar", L"Skin"), L"<none>");
}

TEST_F(SettingsFile, UnicodeFilesAreLeftUntouched) {
    const std::string le = std::string("\xFF\xFE") + Utf16Le(L"[Toolbar]\r\nSkin=\u00e4.png\r\n");
    const std::string be = std::string("\xFE\xFF\0[\0T", 6);
    for (const std::string& bytes : {le, be}) {
        ASSERT_TRUE(WriteFileBytes(Install(), bytes));
        EXPECT_EQ(Convert(Install()), 1);
        EXPECT_EQ(ReadAll(Install()), bytes);
        EXPECT_FALSE(FileExists(TempFile()));
    }
}

TEST_F(SettingsFile, LongLinesAndEightBitCharactersArriveComplete) {
    std::string line = "Recent=";
    for (int i = 0; i < 5000; ++i)
        line += static_cast<char>(i % 7 == 0 ? '\x80' : (i % 5 == 0 ? '\xE4' : 'a' + i % 26));
    const std::string ansi = "[Others]\r\n" + line + "\r\nLast=\xFC\r\n";
    ASSERT_TRUE(WriteFileBytes(Install(), ansi));
    EXPECT_EQ(Convert(Install()), 1);
    EXPECT_EQ(ReadAll(Install()), kBomAndHeader + Utf16Le(FromAnsi(ansi)));
    EXPECT_FALSE(FileExists(TempFile()));
    if (GetACP() == 1252) {
        EXPECT_EQ(Value(Install(), L"Others", L"Last"), L"\u00fc");
        EXPECT_EQ(Value(Install(), L"Others", L"Recent").substr(7, 1), L"\u20ac");
    }
}

TEST_F(SettingsFile, Utf8FileWithMarkIsConvertedFromUtf8) {
    ASSERT_TRUE(WriteFileBytes(Install(), "\xEF\xBB\xBF[Language]\r\nLang=Deutsch \xC3\xA4\r\n"));
    EXPECT_EQ(Convert(Install()), 1);
    EXPECT_EQ(ReadAll(Install()),
              kBomAndHeader + Utf16Le(L"[Language]\r\nLang=Deutsch \u00e4\r\n"));
}

TEST_F(SettingsFile, EmptyFileStaysAsItIsWithoutLeftovers) {
    ASSERT_TRUE(WriteFileBytes(Install(), ""));
    EXPECT_EQ(Convert(Install()), 1);
    EXPECT_EQ(ReadAll(Install()), "");
    EXPECT_FALSE(FileExists(TempFile()));
}

TEST_F(SettingsFile, TemporaryFileThatCannotBeMadeLeavesTheSettingsAlone) {
    const std::string ansi = "[Language]\r\nLang=Deutsch\r\n";
    ASSERT_TRUE(WriteFileBytes(Install(), ansi));
    ASSERT_TRUE(CreateDirectoryW(TempFile().c_str(), nullptr)); // the name is taken by a folder
    EXPECT_EQ(Convert(Install()), 0);
    EXPECT_EQ(ReadAll(Install()), ansi);
    EXPECT_TRUE(FolderExists(TempFile()));
    EXPECT_EQ(ConvertSettingsToUnicode(Install().c_str(), nullptr), 0);
}

TEST_F(SettingsFile, FailedReplacementKeepsBothFiles) {
    const std::string ansi = "[Language]\r\nLang=Deutsch\r\n";
    ASSERT_TRUE(WriteFileBytes(Install(), ansi));
    std::FILE* source = _wfopen(Install().c_str(), L"rb");
    ASSERT_NE(source, nullptr);
    // Another program holds the settings file without letting it be replaced.
    HANDLE held = CreateFileW(Install().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ConvertSettingsToUnicode(Install().c_str(), source), 0);
    CloseHandle(held);
    EXPECT_EQ(ReadAll(Install()), ansi);
    EXPECT_EQ(ReadAll(TempFile()), kBomAndHeader + Utf16Le(FromAnsi(ansi)));
}
