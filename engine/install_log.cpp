#include "engine/install_log.h"

#include "engine/text_buffer.h"

namespace {

const wchar_t kSeparator[] = L"------------------------------------------------\n";

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Appends text as 8-bit bytes with CR LF line ends.
void AppendBytes(std::string& out, const wchar_t* text) {
    if (!text)
        return;
    for (std::size_t i = 0; text[i] != L'\0'; ++i) {
        wchar_t c = text[i];
        if (c == L'\n') {
            if (out.empty() || out.back() != '\r')
                out += '\r';
            out += '\n';
        } else if (static_cast<unsigned long>(c) <= 0xFF) {
            out += static_cast<char>(static_cast<unsigned char>(c));
        } else {
            if (IsHighSurrogate(c) && IsLowSurrogate(text[i + 1]))
                ++i;
            out += kLogReplacementByte;
        }
    }
}

} // namespace

std::string FormatLogEntry(const wchar_t* date, const wchar_t* time, const wchar_t* text) {
    std::string out;
    AppendBytes(out, date);
    AppendBytes(out, L" - ");
    AppendBytes(out, time);
    AppendBytes(out, L": ");
    AppendBytes(out, text);
    // The line end of the first line is not part of the report text: a CR at
    // the end of the text must not swallow it.
    out += "\r\n";
    AppendBytes(out, kSeparator);
    return out;
}

void FormatLogTime(int hour, int minute, int second, wchar_t* out, std::size_t capacity) {
    FormatText(out, capacity, L"%02d:%02d:%02d", hour, minute, second);
}
