#include "engine/path_helpers.h"

#include "engine/text_buffer.h"

#include <cstring>

namespace {

// Longest folder text the helpers handle, and the longest text after expansion.
constexpr std::size_t kMaxFolderChars = kPathChars - 1;
constexpr std::size_t kMaxExpandedChars = kExpandedChars - 1;
// Variable names of up to 260 characters; values of up to 259 characters.
constexpr std::size_t kMaxNameChars = 260;
constexpr std::size_t kValueChars = 260;

} // namespace

void TrimSpaces(wchar_t* text) {
    if (!text)
        return;
    std::size_t n = TextLength(text);
    while (n > 0 && text[n - 1] == L' ')
        --n;
    text[n] = L'\0';
    if (text[0] != L' ' || n >= kPathChars)
        return;
    std::size_t skip = 0;
    while (text[skip] == L' ')
        ++skip;
    std::memmove(text, text + skip, (n - skip + 1) * sizeof(wchar_t));
}

void EnsureTrailingBackslash(wchar_t* text, std::size_t capacity) {
    if (!text || EndsWith(text, L'\\'))
        return;
    std::size_t n = TextLength(text);
    if (n + 2 <= capacity) {
        text[n] = L'\\';
        text[n + 1] = L'\0';
    }
}

// Existence is tested by entering the folder. When it is missing, the text is
// rebuilt component by component and each prefix is created on the way, which
// also drops spaces in front of every backslash.
int CreateFolderTree(wchar_t* folder, FolderOperations& folders) {
    if (!folder)
        return 0;
    TrimSpaces(folder);
    std::size_t len = TextLength(folder);
    if (len == 0)
        return 0;
    // The normalised text must end in a backslash within the 260-character
    // buffers; a longer text is refused before anything is created.
    if (len > kMaxFolderChars || (len == kMaxFolderChars && folder[len - 1] != L'\\'))
        return 0;
    EnsureTrailingBackslash(folder, kPathChars);
    if (folders.CanEnterFolder(folder))
        return 1;

    wchar_t rebuilt[kPathChars] = {};
    std::size_t r = 0;
    std::size_t i = 0;
    if (folder[0] == L'\\' && folder[1] == L'\\') {
        rebuilt[0] = rebuilt[1] = L'\\';
        r = i = 2;
    }
    for (; folder[i] != L'\0' && i < kMaxFolderChars; ++i) {
        if (folder[i] != L'\\') {
            if (r < kMaxFolderChars)
                rebuilt[r++] = folder[i];
            continue;
        }
        rebuilt[r] = L'\0';
        TrimSpaces(rebuilt);
        folders.CreateOneFolder(rebuilt);
        EnsureTrailingBackslash(rebuilt, kPathChars);
        r = TextLength(rebuilt);
    }
    rebuilt[r] = L'\0';

    CopyText(folder, kPathChars, rebuilt);
    EnsureTrailingBackslash(folder, kPathChars);
    return folders.CanEnterFolder(folder) ? 1 : 0;
}

int ExpandEnvironmentReferences(const wchar_t* text, wchar_t* out, EnvironmentLookup& environment) {
    if (!out)
        return 0;
    out[0] = L'\0';
    if (!text)
        return 1;
    std::size_t o = 0;
    std::size_t i = 0;
    while (text[i] != L'\0') {
        if (text[i] != L'%') {
            if (o >= kMaxExpandedChars) {
                out[0] = L'\0';
                return 0;
            }
            out[o++] = text[i++];
            continue;
        }
        std::size_t start = i + 1;
        std::size_t end = start;
        while (text[end] != L'\0' && text[end] != L'%')
            ++end;
        // A cut name would read another variable, a cut value would name
        // another folder: both refuse the whole expansion instead.
        if (end - start > kMaxNameChars) {
            out[0] = L'\0';
            return 0;
        }
        wchar_t name[kMaxNameChars + 1];
        CopyTextN(name, kMaxNameChars + 1, text + start, end - start);
        wchar_t value[kValueChars];
        value[0] = L'\0';
        std::size_t got = environment.Read(name, value, kValueChars);
        if (got >= kValueChars) {
            out[0] = L'\0';
            return 0;
        }
        if (got > 0) {
            value[kValueChars - 1] = L'\0';
            std::size_t n = TextLength(value);
            if (n > got)
                n = got;
            if (o + n > kMaxExpandedChars) {
                out[0] = L'\0';
                return 0;
            }
            std::memcpy(out + o, value, n * sizeof(wchar_t));
            o += n;
        }
        i = text[end] == L'%' ? end + 1 : end;
    }
    out[o] = L'\0';
    return 1;
}
