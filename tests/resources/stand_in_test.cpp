// The stand-in programs of the payload behave as the installer and the tests of
// shortcuts and registrations rely on: the viewer's window class, its start
// log and icons, the uninstaller's start log, the icon library's version.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "support/folder_fixture.h"
#include "support/wide_print.h"

namespace {

struct FoundWindow {
    DWORD process;
    HWND window;
};

BOOL CALLBACK FindViewerWindow(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<FoundWindow*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (process == found->process && wcscmp(cls, L"Pellumbra") == 0) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

class StandInPrograms : public FolderFixture {
  protected:
    // Copies a built stand-in program into the test's folder.
    std::wstring Install(const wchar_t* built, const wchar_t* name) {
        std::wstring target = PathOf(name);
        EXPECT_TRUE(CopyFileW(built, target.c_str(), FALSE)) << Utf8(built);
        return target;
    }

    // Starts commandLine; the process handle is kept in process_.
    bool Start(const std::wstring& commandLine) {
        std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
        line.push_back(L'\0');
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            Folder().c_str(), &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        processId_ = pi.dwProcessId;
        return true;
    }

    // The process's top-level window of class "Pellumbra", polled for a while.
    HWND WaitForViewerWindow() {
        for (int i = 0; i < 200; ++i) {
            FoundWindow found = {processId_, nullptr};
            EnumWindows(FindViewerWindow, reinterpret_cast<LPARAM>(&found));
            if (found.window)
                return found.window;
            Sleep(25);
        }
        return nullptr;
    }

    // Exit code once the process has ended, or -1 when it still runs.
    long WaitForExit(DWORD ms) {
        if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return static_cast<long>(code);
    }

    std::string ReadLog(const wchar_t* name) {
        std::string bytes;
        ReadFileBytes(PathOf(name), &bytes);
        return bytes;
    }

    void TearDown() override {
        if (process_) {
            if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0)
                TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 5000);
            CloseHandle(process_);
        }
        FolderFixture::TearDown();
    }

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

TEST_F(StandInPrograms, ViewerShowsItsWindowRecordsItsCommandLineAndEndsOnClose) {
    std::wstring viewer = Install(PEL_VIEWER_EXE, L"p_lumb64.exe");
    std::wstring commandLine = L"\"" + viewer + L"\" \"C:\\Bilder\\Gr\u00fc\u00dfe 1.jpg\" /thumbs";
    ASSERT_TRUE(Start(commandLine));

    HWND window = WaitForViewerWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(FindWindowW(L"Pellumbra", nullptr), nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(ReadLog(L"p_lumb64_calls.txt"), Utf8(commandLine) + "\r\n");

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(10000), 0);
}

TEST_F(StandInPrograms, ViewerClosesItselfWhenAskedAndAppendsOneLinePerStart) {
    std::wstring viewer = Install(PEL_VIEWER_EXE, L"p_lumb64.exe");
    std::wstring first = L"\"" + viewer + L"\" /close-after=100";
    ASSERT_TRUE(Start(first));
    EXPECT_EQ(WaitForExit(10000), 0);
    CloseHandle(process_);
    process_ = nullptr;

    std::wstring second = L"\"" + viewer + L"\" /close-after=50 D:\\x.png";
    ASSERT_TRUE(Start(second));
    EXPECT_EQ(WaitForExit(10000), 0);
    EXPECT_EQ(ReadLog(L"p_lumb64_calls.txt"), Utf8(first) + "\r\n" + Utf8(second) + "\r\n");
}

// Shortcuts and file types name the viewer's icons 0, 7, 8 and 9.
TEST_F(StandInPrograms, ViewerCarriesTenIcons) {
    UINT count = ExtractIconExW(PEL_VIEWER_EXE, -1, nullptr, nullptr, 0);
    EXPECT_GE(count, 10u);
    for (int index : {0, 7, 8, 9}) {
        HICON large = nullptr;
        EXPECT_EQ(ExtractIconExW(PEL_VIEWER_EXE, index, &large, nullptr, 1), 1u) << index;
        EXPECT_NE(large, nullptr) << index;
        if (large)
            DestroyIcon(large);
    }
}

TEST_F(StandInPrograms, UninstallerRecordsThatItWasStarted) {
    std::wstring uninstaller = Install(PEL_UNINSTALLER_EXE, L"pl_uninstall.exe");
    std::wstring commandLine = L"\"" + uninstaller + L"\"";
    ASSERT_TRUE(Start(commandLine));
    EXPECT_EQ(WaitForExit(10000), 0);
    EXPECT_EQ(ReadLog(L"pl_uninstall_calls.txt"), Utf8(commandLine) + "\r\n");
}

// The installer reads the library's version as "%d.%d%d" over the product
// version's two parts and the file version's third part, and its company from
// block 040904E4; a library of exactly 226816 bytes would count as the maker's
// own 4.30 build and be replaced.
TEST(StandInIconLibrary, ReadsAs430FromMarrowickAndIsNotTheReplaceableSize) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(PEL_ICONS_DLL, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(PEL_ICONS_DLL, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    wchar_t version[32] = {};
    swprintf(version, 32, L"%d.%d%d", HIWORD(fixed->dwProductVersionMS),
             LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwFileVersionLS));
    EXPECT_STREQ(version, L"4.30");

    wchar_t* company = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904E4\\CompanyName",
                               reinterpret_cast<void**>(&company), &length));
    EXPECT_STREQ(company, L"Marrowick");
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x409);
    EXPECT_EQ(translation[1], 1252);

    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    ASSERT_TRUE(GetFileAttributesExW(PEL_ICONS_DLL, GetFileExInfoStandard, &attributes));
    EXPECT_EQ(attributes.nFileSizeHigh, 0u);
    EXPECT_NE(attributes.nFileSizeLow, 226816u);
}

} // namespace
