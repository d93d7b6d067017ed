// Bounded text operations on fixed wide-character buffers.
//
// Every buffer of the installer has a fixed capacity in characters, terminator
// included. These helpers never write past it: a text that does not fit is
// reported (false) and the buffer holds a terminated, shortened or empty text
// as each function states. No Windows header is needed.
#pragma once

#include <cstddef>

// Length of a terminated text; null counts as empty.
std::size_t TextLength(const wchar_t* text);

// Copies src into dst (capacity characters, terminator included). When src is
// too long the first capacity-1 characters are kept and the result is false.
bool CopyText(wchar_t* dst, std::size_t capacity, const wchar_t* src);

// Copies at most maxChars characters of src (and never past its end).
bool CopyTextN(wchar_t* dst, std::size_t capacity, const wchar_t* src, std::size_t maxChars);

// Appends src to the text in dst. When it does not fit entirely, dst is left
// unchanged and the result is false (a half-appended path is worse than none).
bool AppendText(wchar_t* dst, std::size_t capacity, const wchar_t* src);

// printf-style formatting into dst. Formats use %ls for wide texts so that the
// same format works with every C library. When the result does not fit, dst is
// emptied and the result is false.
bool FormatText(wchar_t* dst, std::size_t capacity, const wchar_t* format, ...);

// True when text ends with the given character.
bool EndsWith(const wchar_t* text, wchar_t c);

// ASCII-only case folding (A-Z), as the installer's name comparisons use.
wchar_t AsciiLower(wchar_t c);
wchar_t AsciiUpper(wchar_t c);
bool EqualsIgnoreAsciiCase(const wchar_t* a, const wchar_t* b);
