// The installation log's bytes: FormatLogEntry and FormatLogTime.
//
// Input fields: the date text; the time text; the report text; control bytes
// (hour, minute and second as 32-bit numbers, the time buffer's capacity).
//
// Invariants: an entry is "date - time: text", CR LF, 48 hyphens, CR LF; every
// line feed in it follows a carriage return; every character up to U+00FF is
// its own byte and every other one (a surrogate pair counted once) is "?";
// the time text is HH:MM:SS of the numbers when it fits its exact buffer and
// empty otherwise.
#include "fuzz_text.h"

#include "engine/install_log.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

void ModelBytes(std::string& out, const std::wstring& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(text[i]);
        if (c == L'\n') {
            if (out.empty() || out.back() != '\r')
                out += '\r';
            out += '\n';
        } else if (c <= 0xFF) {
            out += static_cast<char>(c);
        } else {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                static_cast<std::uint32_t>(text[i + 1]) >= 0xDC00 &&
                static_cast<std::uint32_t>(text[i + 1]) <= 0xDFFF)
                ++i;
            out += '?';
        }
    }
}

int Number(const std::string& control, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k)
        v = (v << 8) | static_cast<std::uint32_t>(FuzzByte(control, at + k, 0));
    int n;
    std::memcpy(&n, &v, sizeof n);
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = SplitFuzzFields(data, size, 4);
    std::wstring date = DecodeFuzzText(fields[0]);
    std::wstring time = DecodeFuzzText(fields[1]);
    std::wstring text = DecodeFuzzText(fields[3]);
    const std::string& control = fields[2];

    ExactWideBuffer d(date), t(time), r(text);
    std::string entry = FormatLogEntry(d.get(), t.get(), r.get());
    std::string model;
    ModelBytes(model, date);
    ModelBytes(model, L" - ");
    ModelBytes(model, time);
    ModelBytes(model, L": ");
    ModelBytes(model, text);
    model += "\r\n" + std::string(48, '-') + "\r\n";
    FUZZ_CHECK(entry == model, "entry for " + Printable(text));
    for (std::size_t i = 0; i < entry.size(); ++i)
        if (entry[i] == '\n')
            FUZZ_CHECK(i > 0 && entry[i - 1] == '\r', "a bare line feed");

    int hour = Number(control, 0), minute = Number(control, 4), second = Number(control, 8);
    std::size_t capacity = FuzzByte(control, 12, kLogTimeChars) % 40;
    ExactWideBuffer out(capacity, L'#');
    FormatLogTime(hour, minute, second, out.get(), capacity);
    if (capacity > 0) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%02d:%02d:%02d", hour, minute, second);
        std::wstring wide(expected, expected + std::strlen(expected));
        FUZZ_CHECK(out.Text() == (wide.size() < capacity ? wide : std::wstring()),
                   "time " + std::string(expected) + " in " + std::to_string(capacity));
    }
    return 0;
}
