// The installation log: the exact bytes of an entry, and the real file in the
// current directory (append mode, earlier content kept, failures dropped).
#include "engine/install_log.h"
#include "engine/install_log_win.h"

#include "support/folder_fixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kSep = std::string(48, '-') + "\r\n";

} // namespace

TEST(FormatLogEntry, BytesOfAnEntry) {
    struct Case {
        const wchar_t* text;
        std::string bytes;
    } cases[] = {
        {L"Ungültiges Zielverzeichnis!: ",
         "1.2.2024 - 09:05:07: Ung\xFCltiges Zielverzeichnis!: \r\n"},
        {L"Warnung: Pellumbra läuft!\nBeenden Sie bitte Pellumbra bevor Sie mit der Installation "
         L"fortsetzen!",
         "1.2.2024 - 09:05:07: Warnung: Pellumbra l\xE4uft!\r\nBeenden Sie bitte Pellumbra bevor "
         "Sie "
         "mit der Installation fortsetzen!\r\n"},
        {L"a\n\nb", "1.2.2024 - 09:05:07: a\r\n\r\nb\r\n"},
        {L"a\r\nb", "1.2.2024 - 09:05:07: a\r\nb\r\n"}, // an existing CR LF is not doubled
        {L"", "1.2.2024 - 09:05:07: \r\n"},
        // Above U+00FF: one replacement byte per character, a surrogate pair included.
        {L"C:\\Ordner\x0141\x20AC\\\xD83D\xDE00!\xFF",
         "1.2.2024 - 09:05:07: C:\\Ordner??\\?!\xFF\r\n"},
        {L"lone \xD800 surrogate", "1.2.2024 - 09:05:07: lone ? surrogate\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatLogEntry(L"1.2.2024", L"09:05:07", c.text), c.bytes + kSep);
}

TEST(FormatLogEntry, TimeHasTwoDigitsPerField) {
    wchar_t t[kLogTimeChars];
    FormatLogTime(9, 5, 7, t, kLogTimeChars);
    EXPECT_STREQ(t, L"09:05:07");
    FormatLogTime(23, 59, 59, t, kLogTimeChars);
    EXPECT_STREQ(t, L"23:59:59");
}

class InstallLogFile : public FolderFixture {
  protected:
    void SetUp() override {
        FolderFixture::SetUp();
        ASSERT_TRUE(SetCurrentDirectoryW(Folder().c_str()));
    }
    std::wstring LogPath() const { return PathOf(L"Pellumbra_Install.log"); }

    static std::string Today() {
        wchar_t d[kLogDateChars] = {};
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, d, kLogDateChars);
        std::string s;
        for (const wchar_t* p = d; *p; ++p)
            s += static_cast<char>(*p <= 0xFF ? *p : '?');
        return s;
    }

    // Checks "date - HH:MM:SS: " + body + CR LF + separator at pos; returns the next position.
    static std::size_t ExpectEntry(const std::string& file, std::size_t pos,
                                   const std::string& date, const std::string& body) {
        std::string head = date + " - ";
        EXPECT_EQ(file.compare(pos, head.size(), head), 0) << file;
        pos += head.size();
        if (pos + 10 > file.size()) {
            ADD_FAILURE() << "entry too short: " << file;
            return file.size();
        }
        std::string time = file.substr(pos, 8);
        for (int i : {0, 1, 3, 4, 6, 7})
            EXPECT_TRUE(time[i] >= '0' && time[i] <= '9') << time;
        EXPECT_TRUE(time[2] == ':' && time[5] == ':') << time;
        pos += 8;
        std::string rest = ": " + body + "\r\n" + kSep;
        EXPECT_EQ(file.compare(pos, rest.size(), rest), 0) << file;
        return pos + rest.size();
    }
};

TEST_F(InstallLogFile, EntriesAreAppendedAndEarlierContentStays) {
    ASSERT_TRUE(WriteFileBytes(LogPath(), "earlier\r\n"));
    std::string date = Today();
    AppendInstallLog(L"Ungültiges Zielverzeichnis!: ");
    AppendInstallLog(L"Warnung: Pellumbra läuft!\nZweite Zeile");
    std::string after = Today();
    ASSERT_EQ(date, after) << "the date changed during the test; run again";

    std::string file;
    ASSERT_TRUE(ReadFileBytes(LogPath(), &file));
    ASSERT_EQ(file.compare(0, 9, "earlier\r\n"), 0);
    std::size_t pos = ExpectEntry(file, 9, date, "Ung\xFCltiges Zielverzeichnis!: ");
    pos = ExpectEntry(file, pos, date, "Warnung: Pellumbra l\xE4uft!\r\nZweite Zeile");
    EXPECT_EQ(pos, file.size());
}

TEST_F(InstallLogFile, CreatedInTheCurrentDirectoryWhenMissing) {
    EXPECT_FALSE(FileExists(LogPath()));
    WriteLogEntry(L"x", OpenInstallLog());
    std::string file;
    ASSERT_TRUE(ReadFileBytes(LogPath(), &file));
    ExpectEntry(file, 0, Today(), "x");
}

TEST_F(InstallLogFile, FileIsClosedAfterEachEntry) {
    AppendInstallLog(L"x");
    // Nothing stays open: the file can be opened exclusively and deleted.
    HANDLE h = CreateFileW(LogPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(DeleteFileW(LogPath().c_str()));
}

TEST_F(InstallLogFile, ALogThatCannotBeOpenedDropsTheReport) {
    // A folder of the log's name stands in for a log that cannot be opened.
    ASSERT_TRUE(CreateDirectoryW(LogPath().c_str(), nullptr));
    AppendInstallLog(L"lost");
    EXPECT_TRUE(FolderExists(LogPath()));
    WriteLogEntry(L"lost", UniqueFile());
}
