#include "engine/settings_rules.h"

#include <cstring>
#include <cwchar>

#include "engine/text_buffer.h"

ToolbarChoice ChooseToolbarSkinFor(int fullScreenHeight, int scalePercent) {
    if (fullScreenHeight >= 1600 || scalePercent >= 170)
        return {L"gnome-colors-human_48.png", L"48"};
    if (fullScreenHeight > 1200 || scalePercent >= 150)
        return {L"gnome-colors-wise_32.png", L"32"};
    if (fullScreenHeight >= 768)
        return {L"Ember_24.png", L"24"};
    return {L"Slate_16.png", L"16"};
}

int ScalePercentFromDpi(int dotsPerInch) {
    return dotsPerInch * 100 / 96;
}

bool IsPortableLayout(const wchar_t* iniFolder, const wchar_t* settingsFile) {
    if (!iniFolder || iniFolder[0] == L'\0' || !settingsFile)
        return false;
    return std::wcsstr(settingsFile, L"Pellumbra32_App") != nullptr ||
           std::wcsstr(settingsFile, L"Pellumbra64_App") != nullptr;
}

bool BuildSettingsTempPath(const wchar_t* settingsFile, wchar_t* out, std::size_t capacity) {
    if (capacity == 0)
        return false;
    out[0] = L'\0';
    // The folder part ends after the last separator, or after "X:" of a bare drive.
    std::size_t folder = 0;
    std::size_t n = TextLength(settingsFile);
    for (std::size_t i = 0; i < n; ++i)
        if (settingsFile[i] == L'\\' || settingsFile[i] == L'/' ||
            (i == 1 && settingsFile[i] == L':'))
            folder = i + 1;
    if (!CopyTextN(out, capacity, settingsFile, folder) ||
        !AppendText(out, capacity, kSettingsTempFileName)) {
        out[0] = L'\0';
        return false;
    }
    return true;
}

SettingsEncoding DetectSettingsEncoding(const unsigned char* head, std::size_t count) {
    if (count >= 2 &&
        ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return SettingsEncoding::Utf16;
    if (count >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
        return SettingsEncoding::Utf8WithBom;
    return SettingsEncoding::Ansi;
}

std::size_t NextSettingsChunkLength(const unsigned char* data, std::size_t size,
                                    const unsigned char* charLengths) {
    std::size_t limit = size < kSettingsChunkBytes ? size : kSettingsChunkBytes;
    std::size_t i = 0;
    while (i < limit) {
        unsigned char b = data[i];
        if (b == '\n')
            return i + 1;
        std::size_t step = charLengths && charLengths[b] > 1 ? charLengths[b] : 1;
        // A character that does not fit before the chunk's end goes whole into the next.
        if (i + step > kSettingsChunkBytes && i > 0)
            return i;
        i += step;
    }
    return limit;
}

void FillUtf8CharLengths(unsigned char* charLengths) {
    for (int b = 0; b < 256; ++b) {
        unsigned char length = 1;
        if (b >= 0xC2 && b <= 0xDF)
            length = 2;
        else if (b >= 0xE0 && b <= 0xEF)
            length = 3;
        else if (b >= 0xF0 && b <= 0xF4)
            length = 4;
        charLengths[b] = length;
    }
}

namespace {

// UTF-16 units as little-endian bytes, whatever the host's byte order.
bool WriteUnits(const SettingsConversionIo& io, const char16_t* units, std::size_t count) {
    unsigned char bytes[2 * kSettingsChunkUnits];
    while (count > 0) {
        std::size_t take = count < kSettingsChunkUnits ? count : kSettingsChunkUnits;
        for (std::size_t i = 0; i < take; ++i) {
            bytes[2 * i] = static_cast<unsigned char>(units[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<unsigned char>((units[i] >> 8) & 0xFF);
        }
        if (!io.write(io.context, bytes, 2 * take))
            return false;
        units += take;
        count -= take;
    }
    return true;
}

} // namespace

long ConvertSettingsStream(const SettingsConversionIo& io) {
    static const unsigned char kBom[2] = {0xFF, 0xFE};
    if (!io.write(io.context, kBom, sizeof kBom) ||
        !WriteUnits(io, kUnicodeHeader, sizeof kUnicodeHeader / sizeof kUnicodeHeader[0] - 1))
        return -1;

    unsigned char pending[kSettingsChunkBytes];
    char16_t converted[kSettingsChunkUnits];
    std::size_t have = 0;
    bool atEnd = false;
    long chunks = 0;
    for (;;) {
        while (!atEnd && have < kSettingsChunkBytes) {
            long got = io.read(io.context, pending + have, kSettingsChunkBytes - have);
            if (got < 0)
                return -1;
            if (got == 0)
                atEnd = true;
            have += static_cast<std::size_t>(got);
        }
        if (have == 0)
            return chunks;
        std::size_t length = NextSettingsChunkLength(pending, have, io.charLengths);
        // A chunk never gives more units than it has bytes, so it always fits.
        long units = io.convert(io.context, pending, length, converted, kSettingsChunkUnits - 1);
        if (units < 0 || !WriteUnits(io, converted, static_cast<std::size_t>(units)))
            return -1;
        ++chunks;
        std::memmove(pending, pending + length, have - length);
        have -= length;
    }
}
