// The version class under the Windows releases Wine can pretend to be. Each
// release is set for the whole Wine prefix, so this test runs in a prefix of
// its own (PEL_WINEPREFIX) and starts a probe process per release.
#include "support/folder_fixture.h"
#include "support/wide_print.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kWineKey = L"Software\\Wine";
constexpr const wchar_t* kNtVersionKey = L"Software\\Microsoft\\Windows NT\\CurrentVersion";

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// A string value that is put back as it was (or removed) at the end.
class SavedValue {
  public:
    SavedValue(HKEY root, const wchar_t* path, const wchar_t* name)
        : root_(root), path_(path), name_(name) {
        wchar_t buf[256];
        DWORD size = sizeof buf;
        existed_ =
            RegGetValueW(root, path, name, RRF_RT_REG_SZ, nullptr, buf, &size) == ERROR_SUCCESS;
        if (existed_)
            value_ = buf;
    }
    ~SavedValue() {
        if (existed_)
            Set(value_.c_str());
        else
            Remove();
    }
    void Set(const wchar_t* value) {
        RegSetKeyValueW(root_, path_.c_str(), name_.c_str(), REG_SZ, value,
                        static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    }
    void Remove() { RegDeleteKeyValueW(root_, path_.c_str(), name_.c_str()); }

  private:
    HKEY root_;
    std::wstring path_, name_, value_;
    bool existed_ = false;
};

std::wstring ProbePath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\') + 1) + L"shell_version_probe.exe";
}

// Runs the probe and gives its exit code (-1 when it could not run).
int RunProbe(const std::wstring& arguments) {
    std::wstring command = L"\"" + ProbePath() + L"\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

size_t LinkCount(const std::wstring& folder, bool* hasUninstaller) {
    size_t n = 0;
    *hasUninstaller = false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*.lnk").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        ++n;
        if (std::wstring(data.cFileName) == L"Pellumbra deinstallieren.lnk")
            *hasUninstaller = true;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return n;
}

class ShellWindowsReleases : public FolderFixture {
  protected:
    void SetUp() override {
        if (!RunningUnderWine())
            GTEST_SKIP() << "switches Wine's Windows release";
        wchar_t prefix[8];
        if (!GetEnvironmentVariableW(L"PEL_WINEPREFIX", prefix, 8))
            GTEST_SKIP() << "changes the release of the whole prefix: needs a prefix of its own "
                            "(PEL_WINEPREFIX)";
        FolderFixture::SetUp();
    }
};

struct ReleaseCase {
    const wchar_t* WineName;
    int ExpectedClass;
};

TEST_F(ShellWindowsReleases, ClassOfEachRelease) {
    SavedValue release(HKEY_CURRENT_USER, kWineKey, L"Version");
    const ReleaseCase cases[] = {
        {L"win10", 10},  {L"win81", 8},   {L"win8", 8},  {L"win7", 7},  {L"vista", 6},
        {L"win2003", 5}, {L"winxp64", 5}, {L"winxp", 5}, {L"win2k", 0},
    };
    for (const ReleaseCase& c : cases) {
        release.Set(c.WineName);
        EXPECT_EQ(RunProbe(L"class"), c.ExpectedClass) << Utf8(c.WineName);
    }

    // Windows 11: Wine knows no such name, but reports the build it finds in
    // the registry when no release name is set.
    release.Remove();
    SavedValue version(HKEY_LOCAL_MACHINE, kNtVersionKey, L"CurrentVersion");
    SavedValue build(HKEY_LOCAL_MACHINE, kNtVersionKey, L"CurrentBuildNumber");
    SavedValue servicePack(HKEY_LOCAL_MACHINE, kNtVersionKey, L"CSDVersion");
    version.Set(L"10.0");
    servicePack.Set(L"");
    build.Set(L"22000");
    EXPECT_EQ(RunProbe(L"class"), 11) << "build 22000";
    build.Set(L"21999");
    EXPECT_EQ(RunProbe(L"class"), 10) << "build 21999";
}

TEST_F(ShellWindowsReleases, GroupOnWindows81HasEightShortcuts) {
    SavedValue release(HKEY_CURRENT_USER, kWineKey, L"Version");
    struct {
        const wchar_t* WineName;
        size_t Links;
        bool Uninstaller;
    } cases[] = {
        {L"win81", 8, false}, {L"win8", 8, false}, {L"win10", 9, true}, {L"win7", 9, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.WineName));
        const std::wstring group = Folder() + c.WineName + L"\\";
        ASSERT_TRUE(CreateDirectoryW(group.c_str(), nullptr));
        release.Set(c.WineName);
        // Without the final backslash, which would escape the closing quotation mark.
        RunProbe(L"group \"" + group.substr(0, group.size() - 1) + L"\"");
        bool uninstaller = false;
        EXPECT_EQ(LinkCount(group, &uninstaller), c.Links);
        EXPECT_EQ(uninstaller, c.Uninstaller);
    }
}

} // namespace
