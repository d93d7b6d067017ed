// CreateFolderTree: the trimming, completion and component walk, over a file
// system held in memory (the FolderOperations seam).
//
// Input fields: the folder text; names that are files on the fake disk, "|"
// between them (a folder cannot be made or entered through them); folders that
// exist already, "|" between them.
//
// Invariants: the folder buffer is exactly the documented 260 characters and
// is never passed; each folder handed to the file system is terminated, at
// most 258 characters long when it is created and 259 when it is entered; an empty, blank or
// overlong text creates nothing and gives 0; a text that exists is only trimmed and completed,
// nothing is created; a walked text ends in one backslash, keeps no blank in front of a backslash,
// and every folder created on the way is a leading part of it; the result is 1 exactly when the
// final folder exists, and always when no file stands in the way.
#include "fuzz_text.h"

#include "engine/path_helpers.h"
#include "engine/text_buffer.h"

#include <set>

namespace {

std::wstring Key(std::wstring path) {
    while (path.size() > 1 && path.back() == L'\\')
        path.pop_back();
    for (wchar_t& c : path)
        c = AsciiLower(c);
    return path;
}

std::set<std::wstring> SplitPaths(const std::wstring& list) {
    std::set<std::wstring> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = list.find(L'|', start);
        std::wstring item = list.substr(start, bar == std::wstring::npos ? bar : bar - start);
        if (!item.empty())
            out.insert(Key(item));
        if (bar == std::wstring::npos)
            return out;
        start = bar + 1;
    }
}

// A disk with drive roots and network shares that always exist, folders made
// only below an existing parent, and files that block a name.
class FakeFolders : public FolderOperations {
  public:
    FakeFolders(std::set<std::wstring> files, std::set<std::wstring> folders)
        : files_(std::move(files)), folders_(std::move(folders)) {
        // A drive root or share is never a file.
        for (auto it = files_.begin(); it != files_.end();)
            it = IsRoot(*it) || it->empty() ? files_.erase(it) : std::next(it);
        for (const std::wstring& f : files_)
            folders_.erase(f);
    }

    void CreateOneFolder(const wchar_t* path) override {
        std::wstring text = Checked(path, 258);
        created_.push_back(text);
        std::wstring key = Key(text);
        if (key.empty() || IsRoot(key) || files_.count(key) || folders_.count(key))
            return;
        if (Exists(Parent(key)))
            folders_.insert(key);
    }

    bool CanEnterFolder(const wchar_t* path) override { return Exists(Key(Checked(path, 259))); }

    bool Exists(const std::wstring& key) const {
        if (files_.count(key))
            return false;
        return key.empty() || IsRoot(key) || folders_.count(key) > 0;
    }

    bool Blocked(const std::wstring& folder) const {
        std::wstring key = Key(folder);
        for (const std::wstring& f : files_)
            if (key == f || key.compare(0, f.size() + 1, f + L"\\") == 0)
                return true;
        return false;
    }

    const std::vector<std::wstring>& created() const { return created_; }

  private:
    static bool IsRoot(const std::wstring& key) {
        if (key.size() == 2 && key[1] == L':')
            return true;
        if (key.size() == 3 && key[1] == L':' && key[2] == L'\\')
            return true;
        if (key == L"\\")
            return true;
        if (key.compare(0, 2, L"\\\\") == 0) {
            // \\server and \\server\share are the root of a network path.
            std::size_t server = key.find(L'\\', 2);
            return server == std::wstring::npos ||
                   key.find(L'\\', server + 1) == std::wstring::npos;
        }
        return false;
    }

    static std::wstring Parent(const std::wstring& key) {
        std::size_t slash = key.rfind(L'\\');
        if (slash == std::wstring::npos)
            return L""; // relative to the current directory, which exists
        return Key(key.substr(0, slash + 1));
    }

    std::wstring Checked(const wchar_t* path, std::size_t longest) {
        for (std::size_t i = 0; i < kPathChars; ++i)
            if (path[i] == L'\0') {
                FUZZ_CHECK(i <= longest, "a folder of " + std::to_string(i) + " characters");
                return std::wstring(path, i);
            }
        FuzzFailure(__FILE__, __LINE__, "terminated", "a folder handed over unterminated");
    }

    std::set<std::wstring> files_;
    std::set<std::wstring> folders_;
    std::vector<std::wstring> created_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = SplitFuzzFields(data, size, 3);
    std::wstring text = DecodeFuzzText(fields[0]).substr(0, kPathChars - 1);
    FakeFolders disk(SplitPaths(DecodeFuzzText(fields[1])), SplitPaths(DecodeFuzzText(fields[2])));
    std::wstring trimmed = ModelTrimSpaces(text);
    bool existedBefore = false;
    {
        std::wstring completed = trimmed;
        if (!completed.empty() && completed.back() != L'\\' && completed.size() <= 258)
            completed += L'\\';
        existedBefore = disk.Exists(Key(completed));
    }

    ExactWideBuffer folder(kPathChars, L'#');
    for (std::size_t i = 0; i < text.size(); ++i)
        folder.get()[i] = text[i];
    folder.get()[text.size()] = L'\0';
    int result = CreateFolderTree(folder.get(), disk);
    std::wstring after = folder.Text();
    const std::string where = "folder " + Printable(text) + " gave " + Printable(after) +
                              " result " + std::to_string(result);

    bool refused = trimmed.empty() || trimmed.size() > 259 ||
                   (trimmed.size() == 259 && trimmed.back() != L'\\');
    if (refused) {
        FUZZ_CHECK(result == 0 && disk.created().empty(), where);
        FUZZ_CHECK(after == trimmed, where);
        return 0;
    }
    FUZZ_CHECK(after.size() <= 259 && !after.empty() && after.back() == L'\\', where);
    if (existedBefore) {
        FUZZ_CHECK(result == 1 && disk.created().empty(), where);
        FUZZ_CHECK(after == trimmed || after == trimmed + L"\\", where);
        return 0;
    }
    FUZZ_CHECK(after.find(L" \\") == std::wstring::npos, where);
    FUZZ_CHECK(after.size() <= trimmed.size() + 1, where);
    for (const std::wstring& made : disk.created()) {
        std::wstring prefix = made.empty() || made.back() == L'\\' ? made : made + L'\\';
        FUZZ_CHECK(after.compare(0, prefix.size(), prefix) == 0,
                   where + ": created " + Printable(made));
    }
    FUZZ_CHECK(result == (disk.Exists(Key(after)) ? 1 : 0), where);
    if (!disk.Blocked(after)) {
        std::string made;
        for (const std::wstring& m : disk.created())
            made += "\n    created " + Printable(m);
        FUZZ_CHECK(result == 1, where + ": nothing blocks the folder" + made);
    }
    return 0;
}
