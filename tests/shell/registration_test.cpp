// The complete registry result of the shell integration, compared with
// listings written from the documented layout (expected/make_expected.py),
// plus the failure paths: a read-only machine hive, a user choice that cannot
// be deleted, the refresh gate and over-long install folders.
#include "shell/associations.h"
#include "shell/file_type_table.h"
#include "shell/os_version.h"
#include "shell/shell_registration.h"
#include "shell_fixture.h"
#include "support/folder_fixture.h"
#include "support/registry_dump.h"
#include "support/wide_print.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#ifndef PEL_SHELL_EXPECTED_DIR
#error "PEL_SHELL_EXPECTED_DIR names the folder of the expected listings"
#endif

namespace {

using Listing = std::map<std::string, std::vector<std::string>>; // root -> sorted lines

Listing ReadListing(const char* name) {
    Listing listing;
    std::ifstream in(std::string(PEL_SHELL_EXPECTED_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << name;
    std::string line, root;
    while (std::getline(in, line)) {
        if (line.rfind("# ", 0) == 0)
            root = line.substr(2);
        else if (!line.empty())
            listing[root].push_back(line);
    }
    for (auto& entry : listing)
        std::sort(entry.second.begin(), entry.second.end());
    return listing;
}

// Lists what is missing and what is extra, so a failure names the exact values.
void ExpectSameLines(const std::vector<std::string>& actual,
                     const std::vector<std::string>& expected, const std::string& root) {
    std::vector<std::string> missing, extra;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                        std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    std::string report;
    for (size_t i = 0; i < missing.size() && i < 40; ++i)
        report += "  missing: " + missing[i] + "\n";
    for (size_t i = 0; i < extra.size() && i < 40; ++i)
        report += "  extra:   " + extra[i] + "\n";
    EXPECT_TRUE(missing.empty() && extra.empty())
        << root << ": " << missing.size() << " missing, " << extra.size() << " extra\n"
        << report;
}


class ShellRegistration : public ShellFolderFixture {
  protected:
    void TearDown() override {
        SetOsVersionClassForTesting(0);
        ShellFolderFixture::TearDown();
    }

    void ExpectListing(const char* name) {
        RemoveShellFolderKeys();
        Listing expected = ReadListing(name);
        ExpectSameLines(DumpRegistryTree(MachineKey(), L""), expected["HKLM"], "HKLM");
        ExpectSameLines(DumpRegistryTree(UserKey(), L""), expected["HKCU"], "HKCU");
        ExpectSameLines(DumpRegistryTree(ClassesKey(), L""), expected["HKCR"], "HKCR");
    }

    std::wstring Machine(const wchar_t* path, const wchar_t* name = L"") {
        std::wstring v;
        return ReadString(MachineKey(), path, name, &v) ? v : L"<missing>";
    }
    std::wstring User(const wchar_t* path, const wchar_t* name = L"") {
        std::wstring v;
        return ReadString(UserKey(), path, name, &v) ? v : L"<missing>";
    }
};

constexpr const wchar_t* kRegisteredApps = L"SOFTWARE\\RegisteredApplications";
constexpr const wchar_t* kFileExts =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

// (a) Nothing selected, no shortcuts, a folder with blanks and without its
// backslash, no "RegisteredApplications" key.
TEST_F(ShellRegistration, NothingSelected) {
    SetOsVersionClassForTesting(10);
    int flags[kAssociationFlagCount] = {};
    flags[63] = 1; // has no row: changes nothing
    EXPECT_EQ(RegisterShellIntegration(0, L"  C:\\Programme\\Pellumbra ", 0, 0, 0, 0, flags), 1);
    ExpectListing("registration_nothing.txt");
    EXPECT_TRUE(FilesIn(FolderOf(ShellFolder::Desktop)).empty());
    EXPECT_FALSE(KeyExists(MachineKey(), kRegisteredApps));
}

// (b) The images-only selection with the thumbnails shortcut, over what an
// earlier installation and Windows left behind.
TEST_F(ShellRegistration, ImagesOnlyWithThumbnailsLink) {
    SetOsVersionClassForTesting(7);
    WriteString(MachineKey(), kRegisteredApps, L"Other", L"x");
    WriteString(MachineKey(), L"SOFTWARE\\Classes\\Pellumbra\\DefaultIcon", L"", L"old.ico,1");
    WriteString(UserKey(), (std::wstring(kFileExts) + L".jpg\\UserChoice").c_str(), L"Hash",
                L"abc");
    WriteString(UserKey(), (std::wstring(kFileExts) + L".jpg\\UserChoice").c_str(), L"Progid",
                L"Other.jpg");
    int flags[kAssociationFlagCount] = {};
    SelectImagesOnly(flags);
    EXPECT_EQ(RegisterShellIntegration(1, L"C:\\Program Files\\Pellumbra\\", 0, 0, 1, 0, flags), 1);
    EXPECT_EQ(Utf8Sorted(FilesIn(FolderOf(ShellFolder::Desktop))),
              std::vector<std::string>({"Pellumbra 64 Thumbnails.lnk"}));
    ExpectListing("registration_images.txt");

    // The four JPEG extensions share the class of suffix jpg; each has its own choice.
    for (const wchar_t* ext : {L".jpg", L".jpeg", L".jfif", L".jpe"}) {
        EXPECT_EQ(Utf8(Machine((std::wstring(L"SOFTWARE\\Classes\\") + ext).c_str())),
                  "Pellumbra.jpg");
        EXPECT_EQ(Utf8(User((std::wstring(kFileExts) + ext + L"\\UserChoice").c_str(), L"Progid")),
                  "Pellumbra.jpg");
    }
    EXPECT_EQ(Utf8(Machine(L"SOFTWARE\\Classes\\Pellumbra.jpg")), "Pellumbra JPG File");
    EXPECT_FALSE(KeyExists(MachineKey(), L"SOFTWARE\\Classes\\Pellumbra.jpeg"));
    EXPECT_FALSE(KeyExists(MachineKey(), L"SOFTWARE\\Classes\\.mpg")); // row 53 not selected
}

// (c) Everything selected on Windows 10, every shortcut for all users, a folder
// with a non-ASCII character.
TEST_F(ShellRegistration, EverythingOnWindows10) {
    SetOsVersionClassForTesting(10);
    WriteString(MachineKey(), kRegisteredApps, L"Other", L"x");
    int flags[kAssociationFlagCount];
    SelectAllFileTypes(flags);
    EXPECT_EQ(RegisterShellIntegration(1, L"C:\\Programme\\Bildbetrachter Ü\\Pellumbra", 1, 1, 1, 1,
                                       flags),
              1);
    EXPECT_EQ(FilesIn(FolderOf(ShellFolder::CommonDesktop)).size(), 2u);
    EXPECT_EQ(FilesIn(FolderOf(ShellFolder::CommonPrograms) + L"Pellumbra\\").size(), 9u);
    EXPECT_TRUE(FilesIn(FolderOf(ShellFolder::Desktop)).empty());
    ExpectListing("registration_everything.txt");

    const std::wstring viewer = L"C:\\Programme\\Bildbetrachter Ü\\Pellumbra\\p_lumb64.exe";
    // Row 53: mpg and mpeg share suffix mpg, mpe has its own.
    EXPECT_EQ(Utf8(Machine(L"SOFTWARE\\Classes\\.mpg")), "Pellumbra.mpg");
    EXPECT_EQ(Utf8(Machine(L"SOFTWARE\\Classes\\.mpeg")), "Pellumbra.mpg");
    EXPECT_EQ(Utf8(Machine(L"SOFTWARE\\Classes\\.mpe")), "Pellumbra.mpe");
    EXPECT_EQ(Utf8(Machine(L"SOFTWARE\\Classes\\Pellumbra.mpg")), "Pellumbra MPG File");
    EXPECT_EQ(Utf8(Machine(L"SOFTWARE\\Classes\\Pellumbra.mpe")), "Pellumbra MPE File");
    EXPECT_EQ(Machine(L"SOFTWARE\\Classes\\Pellumbra.mpe\\DefaultIcon"), viewer + L",9");
    // The rows whose files are their own icons.
    for (const wchar_t* cls : {L"ani", L"cur", L"ico"})
        EXPECT_EQ(
            Utf8(Machine(
                (std::wstring(L"SOFTWARE\\Classes\\Pellumbra.") + cls + L"\\DefaultIcon").c_str())),
            "%1");
    EXPECT_EQ(Machine(L"SOFTWARE\\Classes\\Pellumbra.wma\\DefaultIcon"), viewer + L",8");
    EXPECT_EQ(Machine(L"SOFTWARE\\Pellumbra\\Capabilities\\FileAssociations", L".jpe"),
              L"Pellumbra.jpg");
}

// A second installation into another folder overwrites every value.
TEST_F(ShellRegistration, SecondInstallationOverwrites) {
    int flags[kAssociationFlagCount] = {};
    ASSERT_EQ(RegisterShellIntegration(0, L"D:\\Alt\\Pellumbra", 0, 0, 0, 0, flags), 1);
    ASSERT_EQ(RegisterShellIntegration(0, L"  C:\\Programme\\Pellumbra ", 0, 0, 0, 0, flags), 1);
    ExpectListing("registration_nothing.txt");
}

// Without write access to the machine hive every machine-wide write fails
// silently; the user's choices and the app suppression are still written.
TEST_F(ShellRegistration, ReadOnlyMachineHive) {
    SetOsVersionClassForTesting(10);
    MakeMachineReadOnly();
    int flags[kAssociationFlagCount];
    SelectAllFileTypes(flags);
    EXPECT_EQ(RegisterShellIntegration(1, L"C:\\Programme\\Pellumbra", 0, 0, 1, 0, flags), 1);
    RemoveShellFolderKeys();
    EXPECT_EQ(DumpRegistryTree(MachineKey(), L""), std::vector<std::string>({"[]"}));
    Listing expected = ReadListing("registration_everything.txt");
    ExpectSameLines(DumpRegistryTree(UserKey(), L""), expected["HKCU"], "HKCU");
}

// A user choice that cannot be deleted (here: it has a subkey) is opened and
// its "Progid" written all the same; its other values stay.
TEST_F(ShellRegistration, UserChoiceThatCannotBeDeleted) {
    const std::wstring choice = std::wstring(kFileExts) + L".png\\UserChoice";
    WriteString(UserKey(), choice.c_str(), L"Hash", L"abc");
    WriteString(UserKey(), (choice + L"\\Locked").c_str(), L"", L"x");
    AssociateExtension(L"png", L"png", L"\"C:\\P\\p_lumb64.exe\" \"%1\"", L"C:\\P\\p_lumb64.exe,0",
                       1);
    EXPECT_EQ(Utf8(User(choice.c_str(), L"Progid")), "Pellumbra.png");
    EXPECT_EQ(Utf8(User(choice.c_str(), L"Hash")), "abc");
    // Without the capability key (made by the application registration) the
    // capability value is skipped, the rest is written.
    EXPECT_FALSE(KeyExists(MachineKey(), L"SOFTWARE\\Pellumbra"));
    EXPECT_EQ(Utf8(Machine(L"SOFTWARE\\Classes\\Pellumbra.png\\shell\\open\\command")),
              "\"C:\\P\\p_lumb64.exe\" \"%1\"");
}

// ---- The closing refresh -------------------------------------------------------

// Receives the shell's association-change notices in this process.
class AssociationChangeWatcher {
  public:
    AssociationChangeWatcher() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PelAssocWatcher";
        RegisterClassW(&wc);
        window_ = CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr,
                                wc.hInstance, nullptr);
        SHChangeNotifyEntry entry = {nullptr, TRUE};
        id_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_NewDelivery,
                                     SHCNE_ASSOCCHANGED, kMessage, 1, &entry);
        count_ = 0;
    }
    ~AssociationChangeWatcher() {
        if (id_)
            SHChangeNotifyDeregister(id_);
        DestroyWindow(window_);
    }
    bool Registered() const { return window_ && id_; }
    // Pumps messages until a notice came or the time is up.
    int Wait(DWORD milliseconds) {
        DWORD start = GetTickCount();
        while (count_ == 0 && GetTickCount() - start < milliseconds) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(5);
        }
        return count_;
    }

  private:
    static constexpr UINT kMessage = WM_APP + 17;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == kMessage)
            ++count_;
        return DefWindowProcW(h, m, w, l);
    }
    static int count_;
    HWND window_ = nullptr;
    ULONG id_ = 0;
};
int AssociationChangeWatcher::count_ = 0;

struct RefreshCase {
    int AnyAssociation;
    int OsClass;
    bool Notified;
    bool AppsSuppressed;
};

TEST_F(ShellRegistration, RefreshOnlyWhenAssociationsWereAskedFor) {
    const RefreshCase cases[] = {
        {0, 10, false, false},
        {1, 10, true, true},
        {1, 11, true, false},
        {1, 8, true, false},
    };
    for (const RefreshCase& c : cases) {
        SCOPED_TRACE("any " + std::to_string(c.AnyAssociation) + ", class " +
                     std::to_string(c.OsClass));
        RegDeleteTreeW(UserKey(), L"Software\\Classes");
        SetOsVersionClassForTesting(c.OsClass);
        AssociationChangeWatcher watcher;
        ASSERT_TRUE(watcher.Registered());
        int flags[kAssociationFlagCount] = {};
        ASSERT_EQ(RegisterShellIntegration(c.AnyAssociation, L"C:\\P", 0, 0, 0, 0, flags), 1);
        EXPECT_EQ(watcher.Wait(c.Notified ? 3000 : 300) > 0, c.Notified);
        EXPECT_EQ(KeyExists(UserKey(), L"Software\\Classes\\AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg"),
                  c.AppsSuppressed);
        std::wstring value;
        EXPECT_EQ(ReadString(UserKey(), L"Software\\Classes\\AppX6eg8h5sxqq90pv53845wmnbewywdqq5h",
                             L"NoOpenWith", &value),
                  c.AppsSuppressed);
    }
}

// ---- Over-long install folders ---------------------------------------------------

std::wstring FolderText(size_t n) { // n characters, the last a backslash
    std::wstring folder = L"C:\\";
    while (folder.size() < n - 1)
        folder += (folder.size() % 50 == 49) ? L'\\' : L'p';
    return folder + L"\\";
}

TEST_F(ShellRegistration, LongestFolderIsRegisteredUncut) {
    const std::wstring folder = FolderText(263);
    int flags[kAssociationFlagCount] = {};
    flags[31] = 1;
    ASSERT_EQ(RegisterShellIntegration(1, folder.c_str(), 0, 0, 1, 0, flags), 1);
    const wchar_t* uninstall =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellumbra64";
    EXPECT_EQ(Machine(uninstall, L"InstallLocation"), folder);
    EXPECT_EQ(Machine(uninstall, L"UninstallString"), L"\"" + folder + L"pl_uninstall.exe\"");
    EXPECT_EQ(Machine(L"SOFTWARE\\Classes\\Directory\\shell\\Durchsuchen mit &Pellumbra\\command"),
              L"\"" + folder + L"p_lumb64.exe\" \"%1\" /thumbs");
    EXPECT_EQ(Machine(L"SOFTWARE\\Classes\\Pellumbra.wav\\DefaultIcon"),
              folder + L"p_lumb64.exe,8");
}

TEST_F(ShellRegistration, TooLongFolderWritesNothing) {
    int flags[kAssociationFlagCount];
    SelectAllFileTypes(flags);
    for (const std::wstring& folder :
         {FolderText(264), FolderText(264).substr(0, 263), std::wstring(L"   ")}) {
        SCOPED_TRACE(folder.size());
        EXPECT_EQ(RegisterShellIntegration(1, folder.c_str(), 1, 1, 1, 0, flags), 0);
    }
    for (ShellFolder f : {ShellFolder::Desktop, ShellFolder::Programs})
        EXPECT_TRUE(FilesIn(FolderOf(f)).empty());
    EXPECT_FALSE(FolderExists(FolderOf(ShellFolder::Programs) + L"Pellumbra"));
    RemoveShellFolderKeys();
    for (HKEY root : {MachineKey(), UserKey(), ClassesKey()})
        EXPECT_EQ(DumpRegistryTree(root, L""), std::vector<std::string>({"[]"}));
}

} // namespace
