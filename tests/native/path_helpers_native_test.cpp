// The folder helpers over their seams: the component walk of CreateFolderTree
// over a recorded file system, and ExpandEnvironmentReferences over a table,
// both at their limits and in buffers of exactly the documented sizes.
#include "engine/path_helpers.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

class RecordedFolders : public FolderOperations {
  public:
    std::set<std::wstring> existing;
    std::vector<std::wstring> created;
    void CreateOneFolder(const wchar_t* path) override {
        created.push_back(path);
        existing.insert(path);
    }
    bool CanEnterFolder(const wchar_t* path) override {
        std::wstring p = path;
        if (p.size() > 1 && p.back() == L'\\')
            p.pop_back();
        return existing.count(p) > 0;
    }
};

// A folder text in a heap block of exactly 260 characters.
std::unique_ptr<wchar_t[]> FolderBuffer(const std::wstring& text) {
    std::unique_ptr<wchar_t[]> b(new wchar_t[kPathChars]);
    std::wmemset(b.get(), L'#', kPathChars);
    std::wmemcpy(b.get(), text.c_str(), text.size() + 1);
    return b;
}

class TableEnvironment : public EnvironmentLookup {
  public:
    std::map<std::wstring, std::wstring> values;
    std::size_t Read(const wchar_t* name, wchar_t* value, std::size_t capacity) override {
        auto it = values.find(name);
        if (it == values.end() || it->second.empty())
            return 0;
        if (it->second.size() + 1 > capacity)
            return it->second.size() + 1;
        std::wmemcpy(value, it->second.c_str(), it->second.size() + 1);
        return it->second.size();
    }
};

std::wstring Expand(const std::wstring& text, TableEnvironment& env, int* result = nullptr) {
    std::unique_ptr<wchar_t[]> out(new wchar_t[kExpandedChars]);
    int r = ExpandEnvironmentReferences(text.c_str(), out.get(), env);
    if (result)
        *result = r;
    return out.get();
}

} // namespace

TEST(NativeFolderTree, WalkCreatesEveryPrefixAndDropsBlanksBeforeSeparators) {
    RecordedFolders disk;
    disk.existing = {L"C:"};
    auto folder = FolderBuffer(L"  C:\\Program Files \\Pel  ");
    EXPECT_EQ(CreateFolderTree(folder.get(), disk), 1);
    EXPECT_STREQ(folder.get(), L"C:\\Program Files\\Pel\\");
    EXPECT_EQ(disk.created,
              (std::vector<std::wstring>{L"C:", L"C:\\Program Files", L"C:\\Program Files\\Pel"}));
}

// 258 characters get their backslash; 259 only when the last one already is
// one; longer texts are refused before anything is created.
TEST(NativeFolderTree, LengthBoundaryInAnExactBuffer) {
    for (std::size_t length : {257u, 258u, 259u, 260u}) {
        for (bool endsInBackslash : {false, true}) {
            RecordedFolders disk;
            std::wstring text = L"C:\\" + std::wstring(length - 3 - endsInBackslash, L'a') +
                                (endsInBackslash ? L"\\" : L"");
            ASSERT_EQ(text.size(), length);
            std::unique_ptr<wchar_t[]> folder(
                new wchar_t[std::max<std::size_t>(kPathChars, length + 1)]);
            std::wmemcpy(folder.get(), text.c_str(), text.size() + 1);
            int result = CreateFolderTree(folder.get(), disk);
            bool accepted = length <= 258 || (length == 259 && endsInBackslash);
            EXPECT_EQ(result, accepted ? 1 : 0) << length << " " << endsInBackslash;
            EXPECT_EQ(disk.created.empty(), !accepted);
            if (accepted)
                EXPECT_EQ(std::wstring(folder.get()).back(), L'\\');
        }
    }
}

TEST(NativeExpand, ReferencesAndTheirLimits) {
    TableEnvironment env;
    env.values = {{L"APPDATA", L"C:\\Users\\u\\AppData\\Roaming"},
                  {L"V259", std::wstring(259, L'v')},
                  {L"V260", std::wstring(260, L'v')},
                  {std::wstring(260, L'N'), L"long name"}};
    EXPECT_EQ(Expand(L"%APPDATA%\\Pellumbra", env), L"C:\\Users\\u\\AppData\\Roaming\\Pellumbra");
    EXPECT_EQ(Expand(L"%NOPE%\\x%%y%", env), L"\\xy");
    EXPECT_EQ(Expand(L"%V259%", env), std::wstring(259, L'v'));
    EXPECT_EQ(Expand(L"%" + std::wstring(260, L'N') + L"%", env), L"long name");

    int result = 1;
    EXPECT_EQ(Expand(L"%V260%", env, &result), L"");
    EXPECT_EQ(result, 0) << "a value of 260 characters is refused, not cut";
    EXPECT_EQ(Expand(L"%" + std::wstring(261, L'N') + L"%", env, &result), L"");
    EXPECT_EQ(result, 0);
    // 519 characters fit; one more is refused.
    EXPECT_EQ(Expand(L"%V259%%V259%" + std::wstring(1, L'x'), env, &result).size(), 519u);
    EXPECT_EQ(Expand(L"%V259%%V259%xy", env, &result), L"");
    EXPECT_EQ(result, 0);
}
