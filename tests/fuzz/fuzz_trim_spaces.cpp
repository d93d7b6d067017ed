// TrimSpaces and EnsureTrailingBackslash, in place on buffers of exactly the
// size they are given.
//
// Input fields: the text; a control byte for the capacity of the backslash
// buffer.
//
// Invariants: the result equals a plain model (trailing spaces always go,
// leading ones only from texts under 260 characters; one backslash appended
// only when it fits with the terminator); nothing is read or written past the
// buffer.
#include "fuzz_text.h"

#include "engine/path_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = SplitFuzzFields(data, size, 2);
    std::wstring text = DecodeFuzzText(fields[0]);
    const std::string where = "text " + Printable(text);

    ExactWideBuffer trimmed(text);
    TrimSpaces(trimmed.get());
    FUZZ_CHECK(trimmed.Text() == ModelTrimSpaces(text), where + " gave " + Printable(trimmed.Text()));

    // A buffer with room for the text and up to a few characters more.
    std::size_t capacity = text.size() + 1 + FuzzByte(fields[1], 0, 1) % 3;
    ExactWideBuffer completed(capacity);
    for (std::size_t i = 0; i < text.size(); ++i)
        completed.get()[i] = text[i];
    EnsureTrailingBackslash(completed.get(), capacity);
    std::wstring expected = text;
    if ((text.empty() || text.back() != L'\\') && text.size() + 2 <= capacity)
        expected += L'\\';
    FUZZ_CHECK(completed.Text() == expected, where + " capacity " + std::to_string(capacity) +
                                                 " gave " + Printable(completed.Text()));
    return 0;
}
