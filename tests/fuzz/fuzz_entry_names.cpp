// The payload entry-name rules: IsEntryNameSafe, EntryNamePart,
// EntryFolderLength and IsIconsLibraryEntry.
//
// Input: one entry name, as the archive stores it (8-bit, for the icon-library
// test) and decoded to wide (for the others), in blocks of exactly its size.
//
// Invariants: a name called safe stays below the target folder however Windows
// resolves it -- relative, no drive or stream colon, no control character, and
// walking its components (trailing dots and blanks dropped as Windows does, ".."
// one up, "." and empty ones staying) never climbs above the start; the name
// part is the text after the last separator and the folder length the text
// before it; the icon-library test equals a plain case-folded search.
#include "fuzz_text.h"

#include "engine/payload_extractor_rules.h"

#include <cstring>

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'/' || c == L'\\';
}

// The lowest level the name reaches while Windows resolves it below the
// target: components lose their trailing dots and blanks, and one that is left
// empty goes one up when it had two dots or more (".." and its look-alikes
// such as ". ." or "..."; counted pessimistically), else stays.
int LowestDepth(const std::wstring& name) {
    int depth = 0;
    int lowest = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !IsSeparator(name[i]))
            continue;
        std::wstring component = name.substr(start, i - start);
        start = i + 1;
        std::size_t dots = 0;
        for (wchar_t c : component)
            dots += c == L'.';
        std::wstring trimmed = component;
        while (!trimmed.empty() && (trimmed.back() == L'.' || trimmed.back() == L' '))
            trimmed.pop_back();
        if (!trimmed.empty())
            ++depth;
        else if (dots >= 2)
            --depth;
        lowest = std::min(lowest, depth);
    }
    return lowest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<char[]> stored(new char[size + 1]);
    std::memcpy(stored.get(), data, size);
    stored[size] = '\0';
    std::string lowered(stored.get());
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    FUZZ_CHECK(IsIconsLibraryEntry(stored.get()) ==
                   (lowered.find("icons.dll") != std::string::npos),
               "icon library test on " + lowered);

    // The wide name as the extraction holds it: at most 323 characters.
    std::wstring name = DecodeFuzzText(data, size).substr(0, kEntryWideChars - 1);
    ExactWideBuffer wide(name);
    const std::string where = "entry " + Printable(name);

    const wchar_t* part = EntryNamePart(wide.get());
    FUZZ_CHECK(part >= wide.get() && part <= wide.get() + name.size(), where);
    std::size_t partAt = static_cast<std::size_t>(part - wide.get());
    std::size_t lastSeparator = name.find_last_of(L"/\\");
    FUZZ_CHECK(partAt == (lastSeparator == std::wstring::npos ? 0 : lastSeparator + 1), where);
    std::size_t folder = EntryFolderLength(wide.get());
    FUZZ_CHECK(folder == (lastSeparator == std::wstring::npos ? 0 : lastSeparator), where);

    if (IsEntryNameSafe(wide.get())) {
        FUZZ_CHECK(!name.empty() && !IsSeparator(name[0]), where + ": absolute");
        FUZZ_CHECK(name.find(L':') == std::wstring::npos, where + ": drive or stream");
        for (wchar_t c : name)
            FUZZ_CHECK(static_cast<unsigned long>(c) >= 0x20, where + ": control character");
        FUZZ_CHECK(LowestDepth(name) >= 0, where + ": climbs above the target");
    }
    FUZZ_CHECK(wide.Text() == name, where + ": the name was changed");
    return 0;
}
