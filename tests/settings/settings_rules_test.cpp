// The settings rules without Windows: toolbar choice, portable layout,
// temporary path, encoding, chunking and the conversion loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/settings_rules.h"
#include "support/wide_print.h"

TEST(SettingsRules, ToolbarChoiceAtEveryBoundary) {
    struct Case {
        int height, scale;
        const wchar_t* skin;
        const wchar_t* size;
    };
    const Case cases[] = {
        {767, 100, L"Slate_16.png", L"16"},
        {768, 100, L"Ember_24.png", L"24"},
        {1017, 100, L"Ember_24.png", L"24"},
        {1200, 100, L"Ember_24.png", L"24"}, // 1200 is not above 1200
        {1201, 100, L"gnome-colors-wise_32.png", L"32"},
        {1599, 100, L"gnome-colors-wise_32.png", L"32"},
        {1600, 100, L"gnome-colors-human_48.png", L"48"},
        {700, 149, L"Slate_16.png", L"16"},
        {700, 150, L"gnome-colors-wise_32.png", L"32"},
        {700, 169, L"gnome-colors-wise_32.png", L"32"},
        {700, 170, L"gnome-colors-human_48.png", L"48"},
        {1017, 149, L"Ember_24.png", L"24"},
        {1017, 175, L"gnome-colors-human_48.png", L"48"},
        {1601, 150, L"gnome-colors-human_48.png", L"48"},
        {0, 0, L"Slate_16.png", L"16"},
    };
    for (const Case& c : cases) {
        ToolbarChoice choice = ChooseToolbarSkinFor(c.height, c.scale);
        EXPECT_EQ(std::wstring(choice.skin), c.skin) << c.height << " " << c.scale;
        EXPECT_EQ(std::wstring(choice.size), c.size) << c.height << " " << c.scale;
    }
}

TEST(SettingsRules, ScaleFromDotsPerInchTruncates) {
    const int cases[][2] = {{96, 100},  {120, 125}, {143, 148}, {144, 150},
                            {163, 169}, {164, 170}, {168, 175}, {192, 200}};
    for (const auto& c : cases)
        EXPECT_EQ(ScalePercentFromDpi(c[0]), c[1]) << c[0];
}

TEST(SettingsRules, PortableLayoutNeedsAnIniFolderAndTheExactFolderName) {
    EXPECT_TRUE(
        IsPortableLayout(L"D:\\Pellumbra64_App\\Data", L"D:\\Pellumbra64_App\\Data\\p_lumb64.ini"));
    EXPECT_TRUE(IsPortableLayout(L"x", L"E:\\Tools\\Pellumbra32_App\\p_lumb64.ini"));
    EXPECT_FALSE(IsPortableLayout(L"", L"D:\\Pellumbra64_App\\p_lumb64.ini"));
    EXPECT_FALSE(IsPortableLayout(nullptr, L"D:\\Pellumbra64_App\\p_lumb64.ini"));
    EXPECT_FALSE(IsPortableLayout(L"x", L"D:\\pellumbra64_app\\p_lumb64.ini"));
    EXPECT_FALSE(IsPortableLayout(L"x", L"D:\\Pellumbra64\\p_lumb64.ini"));
    EXPECT_FALSE(IsPortableLayout(L"x", nullptr));
}

TEST(SettingsRules, TemporaryPathBesideTheSettingsFile) {
    struct Case {
        const wchar_t* settings;
        const wchar_t* temp;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Pellumbra\\p_lumb64.ini",
         L"C:\\Program Files\\Pellumbra\\p_lumb64.ini_temp"},
        {L"C:/data/x.ini", L"C:/data/p_lumb64.ini_temp"},
        {L"C:p_lumb64.ini", L"C:p_lumb64.ini_temp"},
        {L"p_lumb64.ini", L"p_lumb64.ini_temp"},
        {L"\\\\server\\share\\p_lumb64.ini", L"\\\\server\\share\\p_lumb64.ini_temp"},
    };
    wchar_t out[kSettingsTempPathChars];
    for (const Case& c : cases) {
        ASSERT_TRUE(BuildSettingsTempPath(c.settings, out, kSettingsTempPathChars));
        EXPECT_EQ(std::wstring(out), c.temp);
    }
    // The folder part and the 17-character name must fit with the terminator.
    const std::size_t name = std::wcslen(kSettingsTempFileName);
    std::wstring folder =
        L"C:\\" + std::wstring(kSettingsTempPathChars - 1 - name - 4, L'f') + L"\\";
    std::wstring settings = folder + L"p_lumb64.ini";
    ASSERT_TRUE(BuildSettingsTempPath(settings.c_str(), out, kSettingsTempPathChars));
    EXPECT_EQ(std::wstring(out).size(), kSettingsTempPathChars - 1);
    settings = L"C:\\f" + settings.substr(3);
    EXPECT_FALSE(BuildSettingsTempPath(settings.c_str(), out, kSettingsTempPathChars));
    EXPECT_EQ(out[0], L'\0');
}

TEST(SettingsRules, EncodingFromTheFirstBytes) {
    struct Case {
        const char* head;
        std::size_t count;
        SettingsEncoding encoding;
    };
    const Case cases[] = {
        {"\xFF\xFE", 2, SettingsEncoding::Utf16},
        {"\xFF\xFE[", 3, SettingsEncoding::Utf16},
        {"\xFE\xFF", 2, SettingsEncoding::Utf16},
        {"\xEF\xBB\xBF", 3, SettingsEncoding::Utf8WithBom},
        {"\xEF\xBB", 2, SettingsEncoding::Ansi},
        {"\xFF", 1, SettingsEncoding::Ansi},
        {"[Ot", 3, SettingsEncoding::Ansi},
        {"", 0, SettingsEncoding::Ansi},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectSettingsEncoding(reinterpret_cast<const unsigned char*>(c.head), c.count),
                  c.encoding)
            << c.count;
}

namespace {

std::size_t ChunkOf(const std::string& text, const unsigned char* lengths = nullptr) {
    return NextSettingsChunkLength(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                                   lengths);
}

// Lead bytes of a double-byte code page (those of code page 932).
std::vector<unsigned char> DoubleByteLengths() {
    std::vector<unsigned char> lengths(256, 1);
    for (int b = 0x81; b <= 0x9F; ++b)
        lengths[b] = 2;
    for (int b = 0xE0; b <= 0xFC; ++b)
        lengths[b] = 2;
    return lengths;
}

} // namespace

TEST(SettingsRules, ChunksEndAtALineFeedOrAfter2047Bytes) {
    EXPECT_EQ(ChunkOf("abc\r\ndef"), 5u);
    EXPECT_EQ(ChunkOf("\n"), 1u);
    EXPECT_EQ(ChunkOf("no line end"), 11u);
    EXPECT_EQ(ChunkOf(std::string(2046, 'a') + "\n"), 2047u);
    EXPECT_EQ(ChunkOf(std::string(2047, 'a') + "\n"), 2047u);
    EXPECT_EQ(ChunkOf(std::string(5000, 'a')), 2047u);
    EXPECT_EQ(ChunkOf(std::string(2047, 'a')), 2047u);
}

TEST(SettingsRules, MultibyteCharactersAreNeverCutAtTheChunkEnd) {
    std::vector<unsigned char> dbcs = DoubleByteLengths();
    const std::string pair = "\x82\xA0"; // one double-byte character
    // The pair would straddle bytes 2047 and 2048: it starts the next chunk.
    EXPECT_EQ(ChunkOf(std::string(2046, 'a') + pair, dbcs.data()), 2046u);
    EXPECT_EQ(ChunkOf(std::string(2046, 'a') + pair, nullptr), 2047u);
    EXPECT_EQ(ChunkOf(std::string(2045, 'a') + pair + "x", dbcs.data()), 2047u);
    // A trail byte that looks like a lead is still a trail byte.
    EXPECT_EQ(ChunkOf(std::string(2044, 'a') + "\x82\x82" + pair, dbcs.data()), 2046u);
    // A lead byte at the very end of the text goes with its chunk.
    EXPECT_EQ(ChunkOf("ab\x82", dbcs.data()), 3u);

    unsigned char utf8[256];
    FillUtf8CharLengths(utf8);
    const std::string four = "\xF0\x9F\x96\xBC"; // U+1F5BC
    EXPECT_EQ(ChunkOf(std::string(2044, 'a') + four, utf8), 2044u);
    EXPECT_EQ(ChunkOf(std::string(2043, 'a') + four, utf8), 2047u);
    EXPECT_EQ(ChunkOf(std::string(2045, 'a') + "\xC3\xA4", utf8), 2047u);
    EXPECT_EQ(ChunkOf(std::string(2046, 'a') + "\xC3\xA4", utf8), 2046u);
}

namespace {

// A memory source and sink with a Latin-1 widening as the "code page".
struct MemoryConversion {
    std::string source;
    std::size_t position = 0;
    std::size_t pieceSize = 100; // the reader hands out small pieces
    std::string written;
    std::vector<std::size_t> chunks;
    bool failRead = false, failWrite = false, failConvert = false;
    const unsigned char* lengths = nullptr;

    static long Read(void* c, unsigned char* buffer, std::size_t capacity) {
        auto* m = static_cast<MemoryConversion*>(c);
        if (m->failRead && m->position > 0)
            return -1;
        std::size_t n = std::min({capacity, m->pieceSize, m->source.size() - m->position});
        std::memcpy(buffer, m->source.data() + m->position, n);
        m->position += n;
        return static_cast<long>(n);
    }
    static bool Write(void* c, const void* bytes, std::size_t count) {
        auto* m = static_cast<MemoryConversion*>(c);
        if (m->failWrite && !m->written.empty())
            return false;
        m->written.append(static_cast<const char*>(bytes), count);
        return true;
    }
    static long Convert(void* c, const unsigned char* bytes, std::size_t count, char16_t* out,
                        std::size_t capacity) {
        auto* m = static_cast<MemoryConversion*>(c);
        m->chunks.push_back(count);
        if (m->failConvert || count > capacity)
            return -1;
        for (std::size_t i = 0; i < count; ++i)
            out[i] = bytes[i];
        return static_cast<long>(count);
    }
    long Run() {
        SettingsConversionIo io = {this, Read, Write, Convert, lengths};
        return ConvertSettingsStream(io);
    }
};

std::string Utf16Le(const std::string& latin1) {
    std::string out;
    for (unsigned char c : latin1) {
        out += static_cast<char>(c);
        out += '\0';
    }
    return out;
}

const std::string kBomAndHeader =
    std::string("\xFF\xFE") + Utf16Le("; UNICODE FILE - edit with care ;-)\r\n\r\n");

} // namespace

TEST(SettingsRules, ConversionWritesMarkHeaderAndEveryByteOfALongLine) {
    MemoryConversion m;
    std::string longLine = "Long=";
    for (int i = 0; i < 5000; ++i)
        longLine += static_cast<char>('a' + i % 26);
    m.source = "[Others]\r\n" + longLine + "\r\n\xE4nde";
    EXPECT_EQ(m.Run(), 5);
    EXPECT_EQ(m.written, kBomAndHeader + Utf16Le(m.source));
    // "[Others]\r\n", then the 5007-byte line in 2047 + 2047 + 913 bytes, then the rest.
    EXPECT_EQ(m.chunks, (std::vector<std::size_t>{10, 2047, 2047, 913, 4}));
}

TEST(SettingsRules, EmptySourceGivesNoChunk) {
    MemoryConversion m;
    EXPECT_EQ(m.Run(), 0);
    EXPECT_EQ(m.written, kBomAndHeader);
}

TEST(SettingsRules, NulBytesInsideALineAreKept) {
    MemoryConversion m;
    m.source = std::string("a=\0b\r\n", 6);
    EXPECT_EQ(m.Run(), 1);
    EXPECT_EQ(m.written, kBomAndHeader + Utf16Le(m.source));
}

TEST(SettingsRules, AnyFailureEndsTheConversionWithANegativeResult) {
    const std::string text(3000, 'x');
    MemoryConversion read;
    read.source = text;
    read.failRead = true;
    EXPECT_LT(read.Run(), 0);
    MemoryConversion write;
    write.source = text;
    write.failWrite = true;
    EXPECT_LT(write.Run(), 0);
    MemoryConversion convert;
    convert.source = text;
    convert.failConvert = true;
    EXPECT_LT(convert.Run(), 0);
}

TEST(SettingsRules, ConversionKeepsDoubleByteCharactersInOneChunk) {
    std::vector<unsigned char> dbcs = DoubleByteLengths();
    MemoryConversion m;
    m.lengths = dbcs.data();
    m.source = std::string(2046, 'a') + "\x82\xA0" + "tail";
    EXPECT_EQ(m.Run(), 2);
    EXPECT_EQ(m.chunks, (std::vector<std::size_t>{2046, 6}));
    EXPECT_EQ(m.written, kBomAndHeader + Utf16Le(m.source));
}
