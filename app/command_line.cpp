#include "app/command_line.h"

#include "engine/product.h"
#include "engine/text_buffer.h"
#include "shell/file_type_table.h"

#include <climits>
#include <cwchar>

namespace {

const wchar_t kFolderOption[] = L"/folder=";
const wchar_t kDesktopOption[] = L"/desktop=";
const wchar_t kThumbsOption[] = L"/thumbs=";
const wchar_t kGroupOption[] = L"/group=";
const wchar_t kAllUsersOption[] = L"/allusers=";
const wchar_t kAssocOption[] = L"/assoc=";
const wchar_t kIniOption[] = L"/ini=";
// "/assocallusers" is accepted and changes nothing: associations are always
// written machine-wide.

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

void RemoveTrailingSpaces(wchar_t* text) {
    std::size_t n = TextLength(text);
    while (n > 0 && text[n - 1] == L' ')
        --n;
    text[n] = L'\0';
}

// A text option replaces the field's whole content, an empty value included.
void ReadTextOption(const wchar_t* commandLine, const wchar_t* literal, wchar_t* field) {
    wchar_t value[kRequestFolderChars];
    if (!ReadOptionValue(commandLine, literal, value, kRequestFolderChars))
        return;
    if (value[0] != L'\0')
        StripQuotes(value);
    CopyText(field, kRequestFolderChars, value);
}

void ReadIntegerOption(const wchar_t* commandLine, const wchar_t* literal, int* field) {
    wchar_t value[kIntegerValueChars];
    if (ReadOptionValue(commandLine, literal, value, kIntegerValueChars))
        *field = ParseOptionInteger(value);
}

} // namespace

bool ReadOptionValue(const wchar_t* commandLine, const wchar_t* literal, wchar_t* value,
                     std::size_t capacity) {
    if (!commandLine || !literal || literal[0] == L'\0' || !value || capacity == 0)
        return false;
    const wchar_t* found = std::wcsstr(commandLine, literal);
    if (!found)
        return false;
    std::size_t remaining = TextLength(found);
    std::size_t span = remaining < kOptionSpanChars ? remaining : kOptionSpanChars;
    std::size_t pos = TextLength(literal);
    std::size_t n = 0;
    while (pos < span && found[pos] != L'/' && n + 1 < capacity)
        value[n++] = found[pos++];
    value[n] = L'\0';
    return true;
}

void StripQuotes(wchar_t* value) {
    if (!value)
        return;
    RemoveTrailingSpaces(value);
    std::size_t n = TextLength(value);
    if (n == 0)
        return;
    if (value[n - 1] == L'"')
        value[--n] = L'\0';
    if (value[0] == L'"') {
        for (std::size_t i = 0; i < n; ++i)
            value[i] = value[i + 1];
    }
    RemoveTrailingSpaces(value);
}

int ParseOptionInteger(const wchar_t* value) {
    if (!value)
        return 0;
    std::size_t i = 0;
    while (IsBlank(value[i]))
        ++i;
    bool negative = false;
    if (value[i] == L'+' || value[i] == L'-')
        negative = value[i++] == L'-';
    // Accumulated as a magnitude and saturated, so that no digit string wraps
    // around to 0 (which would turn a "yes" into a "no").
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; value[i] >= L'0' && value[i] <= L'9'; ++i) {
        magnitude = magnitude * 10 + (value[i] - L'0');
        if (magnitude > limit)
            magnitude = limit;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

void BuildSilentRequest(const wchar_t* commandLine, const InstallLocations& lookups,
                        InstallRequest& out) {
    ClearInstallRequest(out);
    out.Silent = 1;
    if (!lookups.FindExisting(out.InstallFolder, kRequestFolderChars)) {
        lookups.GetDefault(out.InstallFolder, kRequestFolderChars);
        CopyText(out.IniFolder, kRequestFolderChars, kDefaultIniFolder);
    }

    wchar_t work[kCommandLineChars];
    CopyTextN(work, kCommandLineChars, commandLine, kCommandLineChars - 1);

    ReadTextOption(work, kFolderOption, out.InstallFolder);
    ReadIntegerOption(work, kDesktopOption, &out.CreateDesktopLink);
    ReadIntegerOption(work, kThumbsOption, &out.CreateThumbnailsLink);
    ReadIntegerOption(work, kGroupOption, &out.CreateGroup);
    ReadIntegerOption(work, kAllUsersOption, &out.AllUsers);

    int preset = 0;
    ReadIntegerOption(work, kAssocOption, &preset);
    if (preset == kAssocPresetImages)
        SelectImagesOnly(out.AssociationFlags);
    else if (preset == kAssocPresetAll)
        SelectAllFileTypes(out.AssociationFlags);
    else
        SelectNoFileTypes(out.AssociationFlags);
    out.AnyAssociation = (preset == kAssocPresetImages || preset == kAssocPresetAll) ? 1 : 0;

    ReadTextOption(work, kIniOption, out.IniFolder);
}
