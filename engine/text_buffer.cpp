#include "engine/text_buffer.h"

#include <cstdarg>
#include <cwchar>

std::size_t TextLength(const wchar_t* text) {
    return text ? std::wcslen(text) : 0;
}

bool CopyTextN(wchar_t* dst, std::size_t capacity, const wchar_t* src, std::size_t maxChars) {
    if (capacity == 0)
        return false;
    std::size_t i = 0;
    if (src) {
        while (i < maxChars && src[i] != L'\0' && i + 1 < capacity) {
            dst[i] = src[i];
            ++i;
        }
    }
    dst[i] = L'\0';
    return !src || i == maxChars || src[i] == L'\0';
}

bool CopyText(wchar_t* dst, std::size_t capacity, const wchar_t* src) {
    return CopyTextN(dst, capacity, src, static_cast<std::size_t>(-1));
}

bool AppendText(wchar_t* dst, std::size_t capacity, const wchar_t* src) {
    std::size_t have = TextLength(dst);
    std::size_t add = TextLength(src);
    if (have >= capacity || add >= capacity - have)
        return false;
    for (std::size_t i = 0; i < add; ++i)
        dst[have + i] = src[i];
    dst[have + add] = L'\0';
    return true;
}

bool FormatText(wchar_t* dst, std::size_t capacity, const wchar_t* format, ...) {
    if (capacity == 0)
        return false;
    va_list args;
    va_start(args, format);
    int n = std::vswprintf(dst, capacity, format, args);
    va_end(args);
    if (n < 0 || static_cast<std::size_t>(n) >= capacity) {
        dst[0] = L'\0';
        return false;
    }
    return true;
}

bool EndsWith(const wchar_t* text, wchar_t c) {
    std::size_t n = TextLength(text);
    return n > 0 && text[n - 1] == c;
}

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

wchar_t AsciiUpper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsIgnoreAsciiCase(const wchar_t* a, const wchar_t* b) {
    if (!a || !b)
        return a == b;
    for (;; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
        if (*a == L'\0')
            return true;
    }
}
