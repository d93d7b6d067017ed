#include "wizard/wizard_rules.h"

#include "engine/product.h"
#include "engine/text_buffer.h"
#include "shell/file_type_table.h"

#include <cstring>

namespace {

constexpr const wchar_t* kFolderName = L"Pellumbra\\";
constexpr const wchar_t* kFolderNameWithSeparator = L"\\pellumbra\\";

// Room for the chosen folder and both completions, so the rule can be worked
// out whole before the field limit decides what is kept.
constexpr std::size_t kBrowseWorkChars = kFieldChars + 16;

} // namespace

// The separator before the last name is searched from the second-to-last
// character, so a text that ends in a backslash finds the one before it.
bool CompleteBrowsedFolder(const wchar_t* chosen, wchar_t* out, std::size_t outChars) {
    if (!out || outChars == 0)
        return false;
    std::size_t limit = outChars - 1 < kFieldMaxLength ? outChars - 1 : kFieldMaxLength;
    wchar_t work[kBrowseWorkChars] = {};
    if (!CopyTextN(work, kBrowseWorkChars, chosen, kFieldMaxLength)) {
        out[0] = L'\0';
        return false;
    }
    if (TextLength(work) > limit) {
        out[0] = L'\0';
        return false;
    }
    CopyText(out, outChars, work);

    if (!EndsWith(work, L'\\')) {
        AppendText(work, kBrowseWorkChars, L"\\");
        if (TextLength(work) > limit)
            return false;
        CopyText(out, outChars, work);
    }

    std::size_t length = TextLength(work);
    long separator = -1;
    for (long i = static_cast<long>(length) - 2; i >= 0; --i) {
        if (work[i] == L'\\') {
            separator = i;
            break;
        }
    }
    bool append =
        (separator > 0 && !EqualsIgnoreAsciiCase(work + separator, kFolderNameWithSeparator)) ||
        length == 3;
    if (!append)
        return true;
    AppendText(work, kBrowseWorkChars, kFolderName);
    if (TextLength(work) > limit)
        return false;
    CopyText(out, outChars, work);
    return true;
}

void BrowseStartFolder(const wchar_t* fieldText, wchar_t* out, std::size_t outChars) {
    if (!out || outChars == 0)
        return;
    CopyText(out, outChars, fieldText);
    std::size_t length = TextLength(out);
    if (length > 3 && out[length - 1] == L'\\')
        out[length - 1] = L'\0';
}

bool IsAcceptableInstallFolder(const wchar_t* fieldText) {
    if (!fieldText || fieldText[0] == L'\0')
        return false;
    return fieldText[1] == L':';
}

bool FillTemplateText(const wchar_t* pattern, const wchar_t* const* values, int valueCount,
                      wchar_t* out, std::size_t outChars) {
    if (!out || outChars == 0)
        return false;
    std::size_t used = 0;
    int next = 0;
    bool fits = true;
    auto put = [&](wchar_t c) {
        if (used + 1 < outChars)
            out[used++] = c;
        else
            fits = false;
    };
    for (const wchar_t* p = pattern ? pattern : L""; *p; ++p) {
        if (p[0] == L'%' && p[1] == L'%') {
            put(L'%');
            ++p;
        } else if (p[0] == L'%' && p[1] == L's' && next < valueCount) {
            for (const wchar_t* v = values[next] ? values[next] : L""; *v; ++v)
                put(*v);
            ++next;
            ++p;
        } else {
            put(*p);
        }
    }
    out[used] = L'\0';
    return fits;
}

void PrepareWhatsNewText(const void* data, std::size_t bytes, wchar_t* buffer,
                         std::size_t bufferChars, CharClassifier isLetterOrDigit) {
    if (!buffer || bufferChars == 0)
        return;
    std::memset(buffer, 0, bufferChars * sizeof(wchar_t));
    // The resource holds UTF-16LE units; taken unit by unit, not as wchar_t,
    // so the rule reads the same where wchar_t is wider than 16 bits.
    const unsigned char* units = static_cast<const unsigned char*>(data);
    std::size_t chars = data ? bytes / 2 : 0;
    if (chars > bufferChars - 1)
        chars = bufferChars - 1;
    for (std::size_t i = 0; i < chars; ++i)
        buffer[i] = static_cast<wchar_t>(units[2 * i] | (units[2 * i + 1] << 8));
    TrimWhatsNewTail(buffer, isLetterOrDigit);
}

void TrimWhatsNewTail(wchar_t* text, CharClassifier isLetterOrDigit) {
    if (!text || !isLetterOrDigit)
        return;
    std::size_t length = TextLength(text);
    while (length > 0 && !isLetterOrDigit(text[length - 1])) {
        text[length - 1] = L'\0';
        --length;
    }
}

void FormatReadyFolderLine(const wchar_t* label, const wchar_t* folder, wchar_t* out,
                           std::size_t outChars) {
    if (!out || outChars == 0)
        return;
    CopyText(out, outChars, label);
    if (!AppendText(out, outChars, L": "))
        return;
    std::size_t used = TextLength(out);
    CopyText(out + used, outChars - used, folder);
}

int AssociationFlagsFromStateImages(const unsigned* stateImages, int rowCount,
                                    int flags[kAssociationFlagCount]) {
    for (int i = 0; i < kAssociationFlagCount; ++i)
        flags[i] = 0;
    int any = 0;
    int rows = rowCount < kAssociationFlagCount ? rowCount : kAssociationFlagCount;
    for (int i = 0; i < rows && stateImages; ++i) {
        if (stateImages[i] != 1) {
            flags[i] = 1;
            any = 1;
        }
    }
    return any;
}

bool PresetTicksRow(FileTypePreset preset, int row) {
    switch (preset) {
    case FileTypePreset::ImagesOnly:
        return row >= 0 && row < kImagesOnlyRowCount;
    case FileTypePreset::All:
        return true;
    case FileTypePreset::None:
        return false;
    }
    return false;
}

bool BuildViewerPath(const wchar_t* folder, wchar_t* out, std::size_t outChars) {
    if (!out || outChars == 0)
        return false;
    bool ok = CopyText(out, outChars, folder);
    if (ok && !EndsWith(out, L'\\'))
        ok = AppendText(out, outChars, L"\\");
    if (ok)
        ok = AppendText(out, outChars, kViewerExeName);
    if (!ok)
        out[0] = L'\0';
    return ok;
}

int NeighbourPosition(int from, int step, const int* inFlow, int pageCount) {
    for (int pos = from + step; pos >= 0 && pos < pageCount; pos += step) {
        if (inFlow[pos])
            return pos;
    }
    return -1;
}
