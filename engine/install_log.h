// The installation log: an append-only 8-bit text file in the current
// directory that silent mode writes its warnings and failures into.
//
// The bytes of an entry are composed here without any Windows call; the file,
// date and time calls are in install_log_win.cpp (see install_log_win.h).
#pragma once

#include <cstddef>
#include <string>

// Characters above U+00FF have no byte of their own in the 8-bit log; each is
// written as this byte (a surrogate pair counts as one character).
constexpr char kLogReplacementByte = '?';

// Buffer sizes of the date and time texts.
constexpr std::size_t kLogDateChars = 256;
constexpr std::size_t kLogTimeChars = 16;

// The bytes of one entry: "date - time: text", a line end, 48 hyphens and a
// line end. Every line break becomes CR LF (an existing CR LF stays as it is);
// each character becomes one byte of the same value (ISO 8859-1).
std::string FormatLogEntry(const wchar_t* date, const wchar_t* time, const wchar_t* text);

// The time of day as HH:MM:SS, 24-hour clock, into out (kLogTimeChars or more).
void FormatLogTime(int hour, int minute, int second, wchar_t* out, std::size_t capacity);

// Opens "Pellumbra_Install.log" in the current directory for appending and
// writes one entry dated now. When the file cannot be opened the report is
// dropped without any other effect.
void AppendInstallLog(const wchar_t* text);
