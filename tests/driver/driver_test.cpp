// The installation driver in-process, with the installer's own resources
// linked in (messages and payload), real folders and the registry redirected.
#include "engine/install_driver.h"
#include "engine/product.h"
#include "engine/text_buffer.h"
#include "support/folder_fixture.h"
#include "support/registry_dump.h"
#include "support/registry_fixture.h"
#include "support/wide_print.h"

#include <windows.h>

#include <memory>
#include <string>

namespace {

// A test folder, the registry redirected, and the log read from the folder
// the driver started in.
class Driver : public RegistryFixture {
protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        folder_ = std::make_unique<ScratchFolder>();
        ASSERT_FALSE(folder_->Folder().empty());
        SetCurrentDirectoryW(folder_->Folder().c_str());
        ClearInstallRequest(request_);
        request_.Silent = 1;
    }
    void TearDown() override {
        folder_.reset();
        RegistryFixture::TearDown();
    }

    std::string Log() const {
        std::string bytes;
        ReadFileBytes(folder_->PathOf(kLogFileName), &bytes);
        return bytes;
    }
    const std::wstring& Folder() const { return folder_->Folder(); }

    // The first line of the only entry, without its date and time.
    std::string OnlyEntryText() const {
        std::string log = Log();
        const std::string separator = std::string(48, '-') + "\r\n";
        EXPECT_EQ(log.size() - log.find(separator), separator.size()) << "one entry";
        std::size_t start = log.find(": ");
        return log.substr(start + 2, log.find(separator) - start - 4);
    }

    InstallRequest request_;

private:
    std::unique_ptr<ScratchFolder> folder_;
};

TEST_F(Driver, FolderOfSpacesOnlyIsReportedAsNotCreatable) {
    CopyText(request_.InstallFolder, kRequestFolderChars, L"    ");
    EXPECT_EQ(InstallDriver(request_), 0);
    std::string text = OnlyEntryText();
    EXPECT_EQ(text.substr(0, 37), "Kann Zielverzeichnis nicht erstellen!");
    // The emptiness test comes before the trimming: message 11, with the
    // normalised text, which is empty.
    EXPECT_EQ(text.substr(text.size() - 12), "erstellen.: ");
}

TEST_F(Driver, EmptyFolderIsInvalidAndNothingIsWritten) {
    EXPECT_EQ(InstallDriver(request_), 0);
    EXPECT_EQ(OnlyEntryText(), "Ung\xfcltiges Zielverzeichnis!: ");
    EXPECT_EQ(NamesInFolder(Folder()), std::vector<std::wstring>{kLogFileName});
    EXPECT_TRUE(DumpRegistryTree(MachineKey(), L"").size() <= 1);
}

TEST_F(Driver, InstallsIntoAFolderWithTheRegistryRedirected) {
    std::wstring target = Folder() + L"Pell";
    CopyText(request_.InstallFolder, kRequestFolderChars, (L"  " + target + L"  ").c_str());
    CopyText(request_.IniFolder, kRequestFolderChars, L"");
    EXPECT_EQ(InstallDriver(request_), 1);
    EXPECT_TRUE(FileExists(target + L"\\p_lumb64.exe"));
    EXPECT_TRUE(FileExists(target + L"\\Plugins\\Icons.dll"));
    // Not the default folder: silent mode keeps the settings beside the viewer.
    EXPECT_EQ(std::wstring(request_.IniFolder), L"");
    std::string ini;
    ASSERT_TRUE(ReadFileBytes(target + L"\\p_lumb64.ini", &ini));
    EXPECT_EQ(ini.substr(0, 2), "\xff\xfe");
    std::wstring command;
    EXPECT_TRUE(ReadString(MachineKey(), L"SOFTWARE\\Classes\\Pellumbra\\shell\\open\\command",
                           nullptr, &command));
    EXPECT_EQ(command, L"\"" + target + L"\\p_lumb64.exe\" \"%1\"");
    EXPECT_FALSE(FileExists(Folder() + kLogFileName));

    // The payload's own icon library reads as 4.30 from the maker.
    wchar_t version[32];
    wchar_t company[260];
    EXPECT_EQ(QueryFileVersion((target + L"\\Plugins\\Icons.dll").c_str(), version, 32, company,
                               260),
              1);
    EXPECT_EQ(std::wstring(version), L"4.30");
    EXPECT_EQ(std::wstring(company), L"Marrowick");
    EXPECT_EQ(QueryFileVersion((target + L"\\p_about.txt").c_str(), version, 32, company, 260), 0);
    EXPECT_EQ(std::wstring(version), L"");
}

TEST_F(Driver, IniFolderThatExpandsToNothingKeepsTheSettingsBesideTheViewer) {
    std::wstring target = Folder() + L"Pell";
    CopyText(request_.InstallFolder, kRequestFolderChars, target.c_str());
    CopyText(request_.IniFolder, kRequestFolderChars, L"%PEL_UNDEFINED_VARIABLE%");
    EXPECT_EQ(InstallDriver(request_), 1);
    std::string ini;
    ASSERT_TRUE(ReadFileBytes(target + L"\\p_lumb64.ini", &ini));
    std::wstring text(reinterpret_cast<const wchar_t*>(ini.data() + 2), (ini.size() - 2) / 2);
    EXPECT_NE(text.find(L"Lang=Deutsch"), std::wstring::npos);
    EXPECT_EQ(text.find(L"INI_Folder"), std::wstring::npos);
}

}  // namespace
