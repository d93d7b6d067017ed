// Rules of the viewer's settings file that need no Windows call: the toolbar
// choice, the portable layout, the temporary file name, and the conversion of
// the file's 8-bit text into UTF-16LE chunk by chunk. The conversion itself
// (the code page) and the file access are handed in as callbacks, so the loop
// runs the same on any platform.
#pragma once

#include <cstddef>

constexpr const wchar_t* kSettingsFileName = L"p_lumb64.ini";
constexpr const wchar_t* kSettingsTempFileName = L"p_lumb64.ini_temp";

// Read into chunks of at most this many bytes, each ending at a line feed.
constexpr std::size_t kSettingsChunkBytes = 2047;
// Room for one converted chunk in UTF-16 units, terminator included.
constexpr std::size_t kSettingsChunkUnits = 2048;
// Room for the temporary file's path, terminator included.
constexpr std::size_t kSettingsTempPathChars = 560;

// The comment line (and the empty line after it) that opens the UTF-16 file.
constexpr const char16_t kUnicodeHeader[] = u"; UNICODE FILE - edit with care ;-)\r\n\r\n";

// Toolbar skin file (an entry under "Toolbars/" of the payload) and its button
// size, as written into section "Toolbar".
struct ToolbarChoice {
    const wchar_t* skin;
    const wchar_t* size;
};

// The skin for a full-screen client height (pixels) and a display scale
// (percent), first matching rule wins: height >= 1600 or scale >= 170 gives
// 48; height > 1200 or scale >= 150 gives 32; height >= 768 gives 24; else 16.
ToolbarChoice ChooseToolbarSkinFor(int fullScreenHeight, int scalePercent);

// Display scale in percent from dots per inch (96 -> 100, 120 -> 125, 144 -> 150).
int ScalePercentFromDpi(int dotsPerInch);

// True when a separate INI folder is used and the settings file lives in a
// portable viewer's folder ("Pellumbra32_App" or "Pellumbra64_App", exact case).
bool IsPortableLayout(const wchar_t* iniFolder, const wchar_t* settingsFile);

// "<drive and folder of settingsFile>p_lumb64.ini_temp" into out (capacity
// characters); a path without folder gives the bare name. False when it does
// not fit (out is then empty).
bool BuildSettingsTempPath(const wchar_t* settingsFile, wchar_t* out, std::size_t capacity);

// What the first bytes of the settings file say about its encoding.
enum class SettingsEncoding {
    Ansi,        // no byte-order mark: the system's ANSI code page
    Utf8WithBom, // EF BB BF: UTF-8, the mark itself is dropped
    Utf16,       // FF FE or FE FF: already UTF-16, left as it is
};
SettingsEncoding DetectSettingsEncoding(const unsigned char* head, std::size_t count);

// Length of the next chunk of data[0, size): up to and including the first
// line feed, else kSettingsChunkBytes bytes (or size, when less). charLengths,
// when given, holds for every byte value the length of a character that begins
// with it (1 for single bytes, 2 for a double-byte lead, 2 to 4 for UTF-8
// leads): a character that would be cut at the chunk's end starts the next
// chunk instead.
std::size_t NextSettingsChunkLength(const unsigned char* data, std::size_t size,
                                    const unsigned char* charLengths);

// Fills a 256-entry table for NextSettingsChunkLength for UTF-8 text.
void FillUtf8CharLengths(unsigned char* charLengths);

// The file access and the code-page conversion of one conversion run.
struct SettingsConversionIo {
    void* context;
    // Reads up to capacity bytes; 0 at the end, negative on a read error.
    long (*read)(void* context, unsigned char* buffer, std::size_t capacity);
    // Writes all count bytes or gives false.
    bool (*write)(void* context, const void* bytes, std::size_t count);
    // Converts count bytes into at most capacity UTF-16 units; gives the
    // number of units, negative on failure.
    long (*convert)(void* context, const unsigned char* bytes, std::size_t count, char16_t* out,
                    std::size_t capacity);
    // Character lengths for the chunking (see above), or null: every byte is a character.
    const unsigned char* charLengths;
};

// Writes the byte-order mark FF FE and the header, then reads the source to its
// end chunk by chunk and writes each converted chunk in UTF-16LE. Gives the
// number of chunks (0 for an empty source), negative after any read, write or
// conversion failure.
long ConvertSettingsStream(const SettingsConversionIo& io);
