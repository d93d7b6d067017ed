#include "fuzz_text.h"

#include "engine/path_helpers.h"

#include <cstdio>
#include <cstdlib>

namespace {

void AppendCodePoint(std::wstring& out, std::uint32_t cp) {
    if (cp > 0xFFFF && sizeof(wchar_t) == 2) {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<wchar_t>(cp);
    }
}

bool IsContinuation(std::uint8_t b) {
    return (b & 0xC0) == 0x80;
}

} // namespace

std::wstring DecodeFuzzText(const std::uint8_t* data, std::size_t size) {
    std::wstring out;
    std::size_t i = 0;
    while (i < size) {
        std::uint8_t b = data[i];
        std::size_t extra = 0;
        std::uint32_t cp = b;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            cp = b & 0x07;
        }
        bool wellFormed = extra > 0 && i + extra < size;
        if (wellFormed) {
            for (std::size_t k = 1; k <= extra; ++k) {
                if (!IsContinuation(data[i + k])) {
                    wellFormed = false;
                    break;
                }
                cp = (cp << 6) | (data[i + k] & 0x3F);
            }
        }
        // Overlong forms and values beyond U+10FFFF are bytes of their own.
        if (wellFormed &&
            ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))))
            wellFormed = false;
        if (!wellFormed) {
            cp = b;
            extra = 0;
        }
        if (cp != 0)
            AppendCodePoint(out, cp);
        i += 1 + extra;
    }
    return out;
}

std::wstring DecodeFuzzText(const std::string& bytes) {
    return DecodeFuzzText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::vector<std::string> SplitFuzzFields(const std::uint8_t* data, std::size_t size,
                                         std::size_t count) {
    std::vector<std::string> fields(count);
    std::size_t field = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0x01 && field + 1 < count) {
            ++field;
            continue;
        }
        fields[field] += static_cast<char>(data[i]);
    }
    return fields;
}

ExactWideBuffer::ExactWideBuffer(std::size_t count, wchar_t fill)
    : data_(new wchar_t[count == 0 ? 1 : count]), count_(count) {
    for (std::size_t i = 0; i < count; ++i)
        data_[i] = fill;
}

ExactWideBuffer::ExactWideBuffer(const std::wstring& text)
    : data_(new wchar_t[text.size() + 1]), count_(text.size() + 1) {
    for (std::size_t i = 0; i < text.size(); ++i)
        data_[i] = text[i];
    data_[text.size()] = L'\0';
}

std::size_t ExactWideBuffer::TerminatedLength() const {
    for (std::size_t i = 0; i < count_; ++i)
        if (data_[i] == L'\0')
            return i;
    FuzzFailure(__FILE__, __LINE__, "terminated", "a text runs to the end of its buffer");
}

std::wstring ExactWideBuffer::Text() const {
    return std::wstring(data_.get(), TerminatedLength());
}

std::size_t FuzzByte(const std::string& field, std::size_t index, std::size_t fallback) {
    return index < field.size() ? static_cast<std::uint8_t>(field[index]) : fallback;
}

std::string Printable(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        unsigned long v = static_cast<unsigned long>(static_cast<std::uint32_t>(c));
        if (v >= 0x20 && v < 0x7F) {
            out += static_cast<char>(v);
        } else {
            char hex[24];
            std::snprintf(hex, sizeof hex, "\\x{%lX}", v);
            out += hex;
        }
    }
    return out;
}

std::wstring ModelTrimSpaces(std::wstring t) {
    while (!t.empty() && t.back() == L' ')
        t.pop_back();
    if (!t.empty() && t.front() == L' ' && t.size() < kPathChars)
        t.erase(0, t.find_first_not_of(L' '));
    return t;
}

void FuzzFailure(const char* file, int line, const char* condition, const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
                 detail.c_str());
    std::fflush(stderr);
    std::abort();
}
