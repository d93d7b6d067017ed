// The silent command line: BuildSilentRequest with its two location lookups,
// and ReadOptionValue, StripQuotes and ParseOptionInteger on their own.
//
// Input fields (separated by 0x01): the command line; control bytes (an
// installed viewer is found, the capacity of a value buffer); the registered
// open command the lookup reads an installed viewer's folder from; an option
// literal of the fuzzer's own.
//
// Invariants: the request equals a plain model of the option rules, field by
// field (so no text is longer than its limit and no field beside a text was
// touched); a value never reaches past its buffer or past the working copy
// (both exact-size heap blocks); values never contain "/".
#include "fuzz_text.h"

#include "app/command_line.h"
#include "app/install_location.h"
#include "engine/product.h"
#include "shell/file_type_table.h"

#include <climits>
#include <cstring>

namespace {

const wchar_t* const kDefaultFolder = L"C:\\Program Files\\Pellumbra";

// The lookups of a machine on which the fuzzer decides whether a viewer was
// installed, and through which registered open command.
class FuzzLocations : public InstallLocations {
  public:
    FuzzLocations(bool installed, const std::wstring& openCommand)
        : installed_(installed), openCommand_(openCommand) {}
    int FindExisting(wchar_t* out, std::size_t capacity) const override {
        return installed_ ? InstallFolderFromOpenCommand(openCommand_.c_str(), out, capacity) : 0;
    }
    void GetDefault(wchar_t* out, std::size_t capacity) const override {
        DefaultFolderFromProgramFiles(L"C:\\Program Files", out, capacity);
    }

  private:
    bool installed_;
    std::wstring openCommand_;
};

// A text field of the request, checked to end inside its buffer.
std::wstring FieldText(const wchar_t* field, std::size_t capacity, const std::string& where) {
    for (std::size_t i = 0; i < capacity; ++i)
        if (field[i] == L'\0')
            return std::wstring(field, i);
    FuzzFailure(__FILE__, __LINE__, "terminated", where + ": a request text fills its buffer");
}

struct ModelValue {
    bool found = false;
    std::wstring text;
};

// The option value as the rules describe it: from after the literal up to the
// next "/", the end of the text, or position 260 counted from the literal.
ModelValue ModelOption(const std::wstring& work, const std::wstring& literal,
                       std::size_t capacity) {
    ModelValue v;
    if (literal.empty() || capacity == 0)
        return v;
    std::size_t at = work.find(literal);
    if (at == std::wstring::npos)
        return v;
    v.found = true;
    std::size_t span = std::min<std::size_t>(260, work.size() - at);
    for (std::size_t pos = literal.size(); pos < span && work[at + pos] != L'/'; ++pos) {
        if (v.text.size() + 1 >= capacity)
            break;
        v.text += work[at + pos];
    }
    return v;
}

std::wstring ModelStripQuotes(std::wstring v) {
    while (!v.empty() && v.back() == L' ')
        v.pop_back();
    if (v.empty())
        return v;
    if (v.back() == L'"')
        v.pop_back();
    if (!v.empty() && v.front() == L'"')
        v.erase(0, 1);
    while (!v.empty() && v.back() == L' ')
        v.pop_back();
    return v;
}

int ModelInteger(const std::wstring& v) {
    std::size_t i = 0;
    while (i < v.size() && (v[i] == L' ' || (v[i] >= L'\t' && v[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == L'+' || v[i] == L'-'))
        negative = v[i++] == L'-';
    long long m = 0;
    for (; i < v.size() && v[i] >= L'0' && v[i] <= L'9'; ++i)
        m = std::min<long long>(m * 10 + (v[i] - L'0'), negative ? 2147483648LL : INT_MAX);
    return static_cast<int>(negative ? -m : m);
}

void CheckRequest(const std::wstring& commandLine, const FuzzLocations& lookups,
                  const InstallRequest& request) {
    std::wstring folder, ini;
    {
        wchar_t existing[kRequestFolderChars];
        if (lookups.FindExisting(existing, kRequestFolderChars)) {
            folder = existing;
        } else {
            folder = kDefaultFolder;
            ini = kDefaultIniFolder;
        }
    }
    std::wstring work = commandLine.substr(0, kCommandLineChars - 1);
    auto text = [&](const wchar_t* literal, std::wstring& field) {
        ModelValue v = ModelOption(work, literal, kRequestFolderChars);
        if (v.found)
            field = v.text.empty() ? v.text : ModelStripQuotes(v.text);
    };
    auto number = [&](const wchar_t* literal) {
        ModelValue v = ModelOption(work, literal, kIntegerValueChars);
        return v.found ? ModelInteger(v.text) : 0;
    };
    text(L"/folder=", folder);
    text(L"/ini=", ini);
    const std::string where = "command line: " + Printable(commandLine);

    std::wstring gotFolder = FieldText(request.InstallFolder, kRequestFolderChars, where);
    std::wstring gotIni = FieldText(request.IniFolder, kRequestFolderChars, where);
    FUZZ_CHECK(gotFolder == folder, where + "\n  InstallFolder: " + Printable(gotFolder) +
                                        "\n  model: " + Printable(folder));
    FUZZ_CHECK(gotIni == ini,
               where + "\n  IniFolder: " + Printable(gotIni) + "\n  model: " + Printable(ini));
    FUZZ_CHECK(folder.find(L'/') == std::wstring::npos ||
                   !ModelOption(work, L"/folder=", 520).found,
               where);
    FUZZ_CHECK(request.CreateDesktopLink == number(L"/desktop="), where);
    FUZZ_CHECK(request.CreateThumbnailsLink == number(L"/thumbs="), where);
    FUZZ_CHECK(request.CreateGroup == number(L"/group="), where);
    FUZZ_CHECK(request.AllUsers == number(L"/allusers="), where);
    int preset = number(L"/assoc=");
    int selected = 0;
    for (int i = 0; i < kAssociationFlagCount; ++i) {
        int expected = preset == 2 ? 1 : (preset == 1 && i < kImagesOnlyRowCount ? 1 : 0);
        FUZZ_CHECK(request.AssociationFlags[i] == expected, where);
        selected += request.AssociationFlags[i];
    }
    FUZZ_CHECK(request.AnyAssociation == (selected > 0 ? 1 : 0), where);
    FUZZ_CHECK(request.Silent == 1, where);
    FUZZ_CHECK(std::wstring(request.Caption) == kSetupCaption, where);
}

// ReadOptionValue on a working copy and a value buffer of exactly their sizes.
void CheckReadOptionValue(const std::wstring& commandLine, const std::wstring& literal,
                          std::size_t capacity) {
    std::wstring work = commandLine.substr(0, kCommandLineChars - 1);
    ExactWideBuffer copy(work);
    ExactWideBuffer value(capacity, L'#');
    bool found = ReadOptionValue(copy.get(), literal.c_str(), value.get(), capacity);
    ModelValue model = ModelOption(work, literal, capacity);
    const std::string where = "literal " + Printable(literal) + " capacity " +
                              std::to_string(capacity) + " in " + Printable(work);
    FUZZ_CHECK(found == model.found, where);
    if (found) {
        FUZZ_CHECK(value.Text() == model.text, where + " gave " + Printable(value.Text()));
        FUZZ_CHECK(value.Text().size() + literal.size() <= 260, where);
    }
    FUZZ_CHECK(copy.Text() == work, where + ": the working copy was changed");

    // StripQuotes edits in place and only ever shortens.
    if (found && value.Text().size() > 0) {
        ExactWideBuffer stripped(value.Text());
        StripQuotes(stripped.get());
        FUZZ_CHECK(stripped.Text() == ModelStripQuotes(value.Text()), where);
    }
    FUZZ_CHECK(ParseOptionInteger(copy.get()) == ModelInteger(work), where);
}

// The installed viewer's folder from a registered command, into a buffer of
// exactly `capacity` characters: a folder that ends in a backslash, that the
// command names together with p_lumb64.exe, or nothing.
void CheckOpenCommand(const std::wstring& command, std::size_t capacity) {
    ExactWideBuffer out(capacity, L'#');
    int found = InstallFolderFromOpenCommand(command.c_str(), out.get(), capacity);
    const std::string where = "open command " + Printable(command);
    if (capacity == 0)
        return;
    std::wstring folder = out.Text();
    if (!found) {
        FUZZ_CHECK(folder.empty(), where);
        return;
    }
    FUZZ_CHECK(!folder.empty() && folder.back() == L'\\', where + " gave " + Printable(folder));
    FUZZ_CHECK(command.find(kViewerExeName) != std::wstring::npos, where);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = SplitFuzzFields(data, size, 4);
    std::wstring commandLine = DecodeFuzzText(fields[0]);
    bool installed = FuzzByte(fields[1], 0, 0) & 1;
    std::size_t capacity = FuzzByte(fields[1], 1, 200) * 3 % 530;
    std::wstring openCommand = DecodeFuzzText(fields[2]);
    std::wstring literal = DecodeFuzzText(fields[3]);

    FuzzLocations lookups(installed, openCommand);
    // The request on the heap with nothing around it, pre-filled with garbage:
    // every field must be set, none written past.
    std::unique_ptr<InstallRequest> request(new InstallRequest);
    std::memset(request.get(), 0xA5, sizeof(InstallRequest));
    ExactWideBuffer line(commandLine);
    BuildSilentRequest(line.get(), lookups, *request);
    CheckRequest(commandLine, lookups, *request);

    static const wchar_t* const kLiterals[] = {L"/folder=", L"/desktop=",     L"/thumbs=",
                                               L"/group=",  L"/allusers=",    L"/assoc=",
                                               L"/ini=",    L"/assocallusers"};
    for (const wchar_t* l : kLiterals)
        CheckReadOptionValue(commandLine, l, capacity);
    CheckReadOptionValue(commandLine, literal, capacity);
    CheckOpenCommand(openCommand, capacity);
    return 0;
}
