// The hyperlink's fallback command: BuildOpenCommandLine and
// BuildOpenCommandKeyPath, into buffers of exactly the capacity they are told.
//
// Input fields: the registered open command (also taken as the class name);
// the link target; a control byte for the capacity (the real 520 or another).
//
// Invariants: the result equals the plain rule -- the command up to its first
// quoted "%1" (at the quote) or else its first bare %1, a blank, the target --
// when that fits with its terminator, and is otherwise refused with an empty
// buffer; the key path is the class name and "\shell\open\command" under the
// same condition; nothing is written past the buffer.
#include "fuzz_text.h"

#include "controls/link_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = SplitFuzzFields(data, size, 3);
    std::wstring command = DecodeFuzzText(fields[0]);
    std::wstring target = DecodeFuzzText(fields[1]);
    std::size_t choice = FuzzByte(fields[2], 0, 0);
    std::size_t capacity = choice < 128 ? kLinkCommandCapacity : choice - 127;
    const std::string where = "command " + Printable(command) + " target " + Printable(target) +
                              " capacity " + std::to_string(capacity);

    std::size_t cut = command.find(L"\"%1\"");
    if (cut == std::wstring::npos)
        cut = command.find(L"%1");
    std::wstring expected = command.substr(0, cut) + L" " + target;

    ExactWideBuffer out(capacity, L'#');
    bool ok = BuildOpenCommandLine(command.c_str(), target.c_str(), out.get(), capacity);
    if (expected.size() < capacity)
        FUZZ_CHECK(ok && out.Text() == expected, where + " gave " + Printable(out.Text()));
    else
        FUZZ_CHECK(!ok && out.Text().empty(), where);

    std::wstring key = command + L"\\shell\\open\\command";
    ExactWideBuffer keyOut(capacity, L'#');
    ok = BuildOpenCommandKeyPath(command.c_str(), keyOut.get(), capacity);
    if (key.size() < capacity)
        FUZZ_CHECK(ok && keyOut.Text() == key, where);
    else
        FUZZ_CHECK(!ok && keyOut.Text().empty(), where);
    return 0;
}
