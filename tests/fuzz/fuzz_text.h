// What every fuzz target shares: turning the fuzzer's bytes into the texts the
// installer's rules take, buffers of an exact size, and the invariant check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Lenient UTF-8, so that the seeds are readable text: a well-formed sequence
// gives its code point (the three-byte forms also give lone surrogates, which
// Windows texts may hold), any other byte stands for itself (ISO 8859-1). NUL
// bytes are dropped, since every text the rules take is terminated. A code
// point above U+FFFF is one wchar_t where wchar_t has 32 bits and a surrogate
// pair where it has 16.
std::wstring DecodeFuzzText(const std::uint8_t* data, std::size_t size);
std::wstring DecodeFuzzText(const std::string& bytes);

// Splits the input at the byte 0x01 into exactly `count` fields (missing ones
// are empty, the last takes the rest, separators included).
std::vector<std::string> SplitFuzzFields(const std::uint8_t* data, std::size_t size,
                                         std::size_t count);

// A heap block of exactly `count` wide characters. AddressSanitizer reports
// any access past its end, so a rule that writes or reads beyond the capacity
// it was given is caught at the first character.
class ExactWideBuffer {
  public:
    explicit ExactWideBuffer(std::size_t count, wchar_t fill = L'\0');
    // A terminated copy of text; count = text length + 1.
    explicit ExactWideBuffer(const std::wstring& text);
    wchar_t* get() { return data_.get(); }
    std::size_t size() const { return count_; }
    // Length of the text, checked to end inside the block.
    std::size_t TerminatedLength() const;
    std::wstring Text() const;

  private:
    std::unique_ptr<wchar_t[]> data_;
    std::size_t count_;
};

// Small numbers taken from one byte of the input, for capacities and choices.
std::size_t FuzzByte(const std::string& field, std::size_t index, std::size_t fallback);

// The space trim of the path helpers as a plain model: trailing spaces always
// go, leading ones only from texts shorter than a path buffer.
std::wstring ModelTrimSpaces(std::wstring text);

// Readable form of a wide text for reports (non-ASCII as \x{...}).
std::string Printable(const std::wstring& text);

[[noreturn]] void FuzzFailure(const char* file, int line, const char* condition,
                              const std::string& detail);

// An invariant of the target: when it does not hold, the input is a finding.
#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzFailure(__FILE__, __LINE__, #condition, (detail));                                 \
    } while (0)
