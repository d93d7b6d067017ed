// Gives each test a fresh, empty folder in the Wine file system and removes it
// afterwards. The current directory is restored too (extraction changes it).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A fresh folder named after the running test, removed again (with the current
// directory put back) when the object goes. For fixtures that need it beside
// another fixture base.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending in a backslash; empty when it could not be created.
    const std::wstring& Folder() const { return folder_; }
    std::wstring PathOf(const std::wstring& relative) const { return folder_ + relative; }

private:
    std::wstring folder_;
    std::wstring savedCurrentDirectory_;
};

class FolderFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The test's folder, ending in a backslash.
    const std::wstring& Folder() const { return scratch_->Folder(); }
    std::wstring PathOf(const std::wstring& relative) const { return scratch_->PathOf(relative); }

private:
    std::unique_ptr<ScratchFolder> scratch_;
};

// File helpers for tests.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool ReadFileBytes(const std::wstring& path, std::string* bytes);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
void RemoveTree(const std::wstring& path);
// The names in a folder ("." and ".." left out), sorted; only files when asked.
std::vector<std::wstring> NamesInFolder(const std::wstring& folder, bool filesOnly = false);
std::wstring CurrentDirectory();
