// The settings file's conversion to UTF-16: ConvertSettingsStream with its
// file and code-page seams, NextSettingsChunkLength with any character-length
// table, BuildSettingsTempPath and DetectSettingsEncoding.
//
// Input fields: control bytes (code page: single-byte, UTF-8 or a double-byte
// page; which read, write or conversion fails; the read sizes); a settings
// file path; the file's bytes (the rest of the input).
//
// Invariants: the output is FF FE, the header and the converted chunks in
// order, and the chunks put together are the file, byte for byte; no chunk is
// empty or longer than 2047 bytes, a line feed only ends one, and a character
// is cut only by the end of the file; a conversion never gets less room than
// its chunk needs; a failure of any seam gives a negative result; the chunk
// rule never reads past its data (exact heap block) and gives 1 to 2047
// bytes; the temporary path is the settings file's folder and
// "p_lumb64.ini_temp", or empty when it does not fit its exact buffer.
#include "fuzz_text.h"

#include "engine/settings_rules.h"

#include <cstring>

namespace {

enum CodePage { kSingleByte = 0, kUtf8 = 1, kDoubleByte = 2 };

struct Run {
    const std::string* source = nullptr;
    std::size_t offset = 0;
    std::string readSizes;
    std::size_t reads = 0;
    std::size_t failRead = SIZE_MAX;
    std::size_t writes = 0;
    std::size_t failWrite = SIZE_MAX;
    std::size_t conversions = 0;
    std::size_t failConvert = SIZE_MAX;
    int codePage = kSingleByte;
    unsigned char charLengths[256] = {};
    std::string output;
    std::vector<std::string> chunks;
    bool failed = false;
};

long Read(void* context, unsigned char* buffer, std::size_t capacity) {
    Run& run = *static_cast<Run*>(context);
    FUZZ_CHECK(capacity > 0 && capacity <= kSettingsChunkBytes,
               "a read of " + std::to_string(capacity) + " bytes");
    if (run.reads++ == run.failRead) {
        run.failed = true;
        return -1;
    }
    std::size_t want =
        run.readSizes.empty()
            ? capacity
            : static_cast<unsigned char>(run.readSizes[run.reads % run.readSizes.size()]);
    if (want == 0)
        want = capacity;
    std::size_t left = run.source->size() - run.offset;
    std::size_t n = std::min(std::min(want, capacity), left);
    std::memcpy(buffer, run.source->data() + run.offset, n);
    run.offset += n;
    return static_cast<long>(n);
}

bool Write(void* context, const void* bytes, std::size_t count) {
    Run& run = *static_cast<Run*>(context);
    if (run.writes++ == run.failWrite) {
        run.failed = true;
        return false;
    }
    run.output.append(static_cast<const char*>(bytes), count);
    return true;
}

// Byte sequences to UTF-16 units: ISO 8859-1, lenient UTF-8, or a double-byte
// page whose lead bytes 0x81-0xFE take the next byte into one unit.
std::u16string ConvertBytes(int codePage, const unsigned char* bytes, std::size_t count) {
    std::u16string out;
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char b = bytes[i];
        if (codePage == kDoubleByte && b >= 0x81 && b <= 0xFE && i + 1 < count) {
            out += static_cast<char16_t>((b << 8) | bytes[++i]);
        } else if (codePage == kUtf8 && b >= 0xC2 && b <= 0xDF && i + 1 < count &&
                   (bytes[i + 1] & 0xC0) == 0x80) {
            out += static_cast<char16_t>(((b & 0x1F) << 6) | (bytes[++i] & 0x3F));
        } else {
            out += static_cast<char16_t>(b);
        }
    }
    return out;
}

long Convert(void* context, const unsigned char* bytes, std::size_t count, char16_t* out,
             std::size_t capacity) {
    Run& run = *static_cast<Run*>(context);
    run.chunks.emplace_back(reinterpret_cast<const char*>(bytes), count);
    if (run.conversions++ == run.failConvert) {
        run.failed = true;
        return -1;
    }
    std::u16string units = ConvertBytes(run.codePage, bytes, count);
    FUZZ_CHECK(capacity < kSettingsChunkUnits, "conversion room past the buffer");
    FUZZ_CHECK(units.size() <= capacity, "a chunk of " + std::to_string(count) +
                                             " bytes needs more than its room of " +
                                             std::to_string(capacity));
    std::memcpy(out, units.data(), units.size() * sizeof(char16_t));
    return static_cast<long>(units.size());
}

std::string Utf16Le(const std::u16string& units) {
    std::string out;
    for (char16_t u : units) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

void CheckChunk(const Run& run, const std::string& chunk, bool last) {
    FUZZ_CHECK(!chunk.empty() && chunk.size() <= kSettingsChunkBytes,
               "a chunk of " + std::to_string(chunk.size()) + " bytes");
    // Walk it character by character: a line feed at a character's start ends
    // the chunk, and only the file's end may cut a character.
    std::size_t i = 0;
    while (i < chunk.size()) {
        unsigned char b = static_cast<unsigned char>(chunk[i]);
        if (b == '\n') {
            FUZZ_CHECK(i + 1 == chunk.size(), "a line feed inside a chunk");
            return;
        }
        std::size_t step =
            run.codePage == kSingleByte ? 1 : std::max<std::size_t>(1, run.charLengths[b]);
        i += step;
    }
    FUZZ_CHECK(i == chunk.size() || last, "a character cut between two chunks");
}

void CheckStream(const std::string& control, const std::string& file) {
    Run run;
    run.source = &file;
    run.codePage = static_cast<int>(FuzzByte(control, 0, 0) % 3);
    std::size_t faults = FuzzByte(control, 1, 0);
    if (faults >= 0xF0) {
        std::size_t which = FuzzByte(control, 2, 0) % 8;
        (faults % 3 == 0   ? run.failRead
         : faults % 3 == 1 ? run.failWrite
                           : run.failConvert) = which;
    }
    if (control.size() > 3)
        run.readSizes = control.substr(3);
    if (run.codePage == kUtf8) {
        FillUtf8CharLengths(run.charLengths);
    } else if (run.codePage == kDoubleByte) {
        for (int b = 0; b < 256; ++b)
            run.charLengths[b] = (b >= 0x81 && b <= 0xFE) ? 2 : 1;
    }
    SettingsConversionIo io = {&run, Read, Write, Convert,
                               run.codePage == kSingleByte ? nullptr : run.charLengths};
    long result = ConvertSettingsStream(io);
    if (run.failed) {
        FUZZ_CHECK(result < 0, "a failed seam gave " + std::to_string(result));
        return;
    }
    FUZZ_CHECK(result == static_cast<long>(run.chunks.size()), "the chunk count");
    std::string joined;
    std::u16string expected = u"\uFEFF";
    expected += kUnicodeHeader;
    for (std::size_t k = 0; k < run.chunks.size(); ++k) {
        CheckChunk(run, run.chunks[k], k + 1 == run.chunks.size());
        joined += run.chunks[k];
        expected +=
            ConvertBytes(run.codePage, reinterpret_cast<const unsigned char*>(run.chunks[k].data()),
                         run.chunks[k].size());
    }
    FUZZ_CHECK(joined == file, "the chunks are not the file");
    FUZZ_CHECK(run.output == Utf16Le(expected), "the written bytes");
}

void CheckChunkRule(const std::string& table, const std::string& file) {
    unsigned char lengths[256];
    for (int b = 0; b < 256; ++b)
        lengths[b] = static_cast<unsigned char>(FuzzByte(table, static_cast<std::size_t>(b), 1));
    std::unique_ptr<unsigned char[]> data(new unsigned char[file.size() + 1]);
    std::memcpy(data.get(), file.data(), file.size());
    std::size_t n = NextSettingsChunkLength(data.get(), file.size(), lengths);
    std::size_t limit = std::min(file.size(), kSettingsChunkBytes);
    FUZZ_CHECK(file.empty() ? n == 0 : (n >= 1 && n <= limit),
               "chunk of " + std::to_string(n) + " from " + std::to_string(file.size()));
}

void CheckTempPath(const std::wstring& settingsFile, std::size_t capacity) {
    ExactWideBuffer out(capacity, L'#');
    bool ok = BuildSettingsTempPath(settingsFile.c_str(), out.get(), capacity);
    if (capacity == 0)
        return;
    std::size_t folder = 0;
    for (std::size_t i = 0; i < settingsFile.size(); ++i)
        if (settingsFile[i] == L'\\' || settingsFile[i] == L'/' ||
            (i == 1 && settingsFile[i] == L':'))
            folder = i + 1;
    std::wstring expected = settingsFile.substr(0, folder) + kSettingsTempFileName;
    const std::string where = "settings file " + Printable(settingsFile);
    if (expected.size() < capacity)
        FUZZ_CHECK(ok && out.Text() == expected, where);
    else
        FUZZ_CHECK(!ok && out.Text().empty(), where);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = SplitFuzzFields(data, size, 3);
    const std::string& control = fields[0];
    const std::string& file = fields[2];
    CheckStream(control, file);
    CheckChunkRule(control, file);
    CheckTempPath(DecodeFuzzText(fields[1]), FuzzByte(control, 2, 100) * 2 % 600);

    // The first bytes of the file, as many as were read, in a block of their size.
    std::size_t count = std::min<std::size_t>(3, file.size());
    std::unique_ptr<unsigned char[]> head(new unsigned char[count == 0 ? 1 : count]);
    std::memcpy(head.get(), file.data(), count);
    SettingsEncoding encoding = DetectSettingsEncoding(head.get(), count);
    bool utf16 = count >= 2 && ((file[0] == '\xFF' && file[1] == '\xFE') ||
                                (file[0] == '\xFE' && file[1] == '\xFF'));
    FUZZ_CHECK((encoding == SettingsEncoding::Utf16) == utf16, "encoding");
    return 0;
}
