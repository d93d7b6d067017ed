// The wizard's rules over plain texts: the browse folder-name rule and the
// folder the browse dialog opens on, the folder check of the welcome page, the
// page templates, the what's-new clean-up, the ready page's folder line, the
// viewer path of the finish page, the file-type list and the page walk.
//
// Input fields: a folder text; a second text (template, label); control bytes
// (capacities, row states); the change history's raw bytes (the rest).
//
// Invariants: every result equals a plain model of its rule and fits its
// exact-size buffer; the browse rule never gives more than 259 characters and
// only ever appends a backslash and "Pellumbra\"; the what's-new text is the
// resource's UTF-16LE units (whatever the width of wchar_t), cut to the buffer,
// with its tail trimmed to the last letter or digit and zeros behind it; no
// rule reads past its input (exact heap blocks).
#include "fuzz_text.h"

#include "wizard/wizard_rules.h"

#include <cstring>

namespace {

wchar_t LowerAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameIgnoringAsciiCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

// The browse rule as the welcome page describes it, each step kept only while
// it fits: the result and whether the whole rule was applied.
std::pair<std::wstring, bool> ModelBrowse(const std::wstring& chosen, std::size_t outChars) {
    std::size_t limit = std::min<std::size_t>(outChars - 1, kFieldMaxLength);
    if (chosen.size() > limit)
        return {L"", false};
    std::wstring text = chosen;
    if (text.empty() || text.back() != L'\\') {
        if (text.size() + 1 > limit)
            return {chosen, false};
        text += L'\\';
    }
    std::size_t separator =
        text.size() >= 2 ? text.rfind(L'\\', text.size() - 2) : std::wstring::npos;
    bool append = (separator != std::wstring::npos && separator > 0 &&
                   !SameIgnoringAsciiCase(text.substr(separator), L"\\pellumbra\\")) ||
                  text.size() == 3;
    if (!append)
        return {text, true};
    if (text.size() + 10 > limit)
        return {text, false};
    return {text + L"Pellumbra\\", true};
}

bool AsciiLetterOrDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

void CheckBrowse(const std::wstring& chosen, std::size_t outChars) {
    ExactWideBuffer in(chosen);
    ExactWideBuffer out(outChars, L'#');
    bool whole = CompleteBrowsedFolder(in.get(), out.get(), outChars);
    std::wstring got = out.Text();
    const std::string where = "chosen " + Printable(chosen) + " in " + std::to_string(outChars) +
                              " gave " + Printable(got);
    FUZZ_CHECK(got.size() <= kFieldMaxLength, where);
    auto model = ModelBrowse(chosen, outChars);
    FUZZ_CHECK(got == model.first && whole == model.second,
               where + "; model " + Printable(model.first) + (model.second ? " whole" : " cut"));

    ExactWideBuffer start(outChars, L'#');
    BrowseStartFolder(in.get(), start.get(), outChars);
    std::wstring expected = chosen.substr(0, outChars - 1);
    if (expected.size() > 3 && expected.back() == L'\\')
        expected.pop_back();
    FUZZ_CHECK(start.Text() == expected, where + ": start folder " + Printable(start.Text()));

    FUZZ_CHECK(IsAcceptableInstallFolder(in.get()) == (chosen.size() >= 2 && chosen[1] == L':'),
               where);
}

void CheckTemplate(const std::wstring& pattern, const std::wstring& value, std::size_t outChars) {
    const std::wstring second = value + L"2";
    const wchar_t* values[] = {value.c_str(), second.c_str()};
    std::wstring full;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size() && pattern[i + 1] == L'%') {
            full += L'%';
            ++i;
        } else if (pattern[i] == L'%' && i + 1 < pattern.size() && pattern[i + 1] == L's' &&
                   next < 2) {
            full += values[next++];
            ++i;
        } else {
            full += pattern[i];
        }
    }
    ExactWideBuffer in(pattern);
    ExactWideBuffer out(outChars, L'#');
    bool fits = FillTemplateText(in.get(), values, 2, out.get(), outChars);
    FUZZ_CHECK(fits == (full.size() < outChars) && out.Text() == full.substr(0, outChars - 1),
               "template " + Printable(pattern) + " gave " + Printable(out.Text()));
}

void CheckWhatsNew(const std::string& raw, std::size_t bufferChars) {
    std::unique_ptr<unsigned char[]> data(new unsigned char[raw.size() + 1]);
    std::memcpy(data.get(), raw.data(), raw.size());
    ExactWideBuffer buffer(bufferChars, L'#');
    PrepareWhatsNewText(data.get(), raw.size(), buffer.get(), bufferChars, AsciiLetterOrDigit);
    std::wstring units;
    for (std::size_t i = 0; i + 1 < raw.size() && units.size() + 1 < bufferChars; i += 2)
        units += static_cast<wchar_t>(static_cast<unsigned char>(raw[i]) |
                                      (static_cast<unsigned char>(raw[i + 1]) << 8));
    std::size_t zero = units.find(L'\0');
    if (zero != std::wstring::npos)
        units.resize(zero);
    std::size_t untrimmed = units.size();
    while (!units.empty() && !AsciiLetterOrDigit(units.back()))
        units.pop_back();
    std::wstring got = buffer.Text();
    FUZZ_CHECK(got == units, "what's new " + Printable(got.substr(0, 40)) + " model " +
                                 Printable(units.substr(0, 40)) + " from " +
                                 std::to_string(raw.size()) + " bytes");
    // The trimmed tail is zeros up to the text's former end, which is a zero too.
    for (std::size_t i = got.size(); i <= untrimmed && i < bufferChars; ++i)
        FUZZ_CHECK(buffer.get()[i] == L'\0', "no zeros behind the text");
    FUZZ_CHECK(buffer.get()[bufferChars - 1] == L'\0', "the buffer's last character");
}

void CheckSmallRules(const std::wstring& folder, const std::wstring& label,
                     const std::string& control, std::size_t outChars) {
    ExactWideBuffer f(folder), l(label);
    ExactWideBuffer line(outChars, L'#');
    FormatReadyFolderLine(l.get(), f.get(), line.get(), outChars);
    std::wstring expected = label.size() + 2 < outChars
                                ? (label + L": " + folder).substr(0, outChars - 1)
                                : label.substr(0, outChars - 1);
    FUZZ_CHECK(line.Text() == expected, "ready line " + Printable(line.Text()));

    ExactWideBuffer viewer(outChars, L'#');
    bool ok = BuildViewerPath(f.get(), viewer.get(), outChars);
    std::wstring path =
        folder + (!folder.empty() && folder.back() == L'\\' ? L"" : L"\\") + L"p_lumb64.exe";
    FUZZ_CHECK(ok == (path.size() < outChars) && viewer.Text() == (ok ? path : L""),
               "viewer path " + Printable(viewer.Text()));

    // The file-type list: as many state images as the list has rows.
    int rows = static_cast<int>(FuzzByte(control, 3, 0)) - 64;
    std::size_t count = rows > 0 ? static_cast<std::size_t>(rows) : 0;
    std::unique_ptr<unsigned[]> states(new unsigned[count + 1]);
    for (std::size_t i = 0; i < count; ++i)
        states[i] = static_cast<unsigned>(FuzzByte(control, 4 + i, 1) % 3);
    std::unique_ptr<int[]> flags(new int[kAssociationFlagCount]);
    int any = AssociationFlagsFromStateImages(states.get(), rows, flags.get());
    int expectedAny = 0;
    for (int i = 0; i < kAssociationFlagCount; ++i) {
        int want = i < rows && states[static_cast<std::size_t>(i)] != 1 ? 1 : 0;
        FUZZ_CHECK(flags[i] == want, "row " + std::to_string(i));
        expectedAny |= want;
    }
    FUZZ_CHECK(any == expectedAny, "AnyAssociation");

    // The page walk over a flow table of exactly pageCount entries.
    int pageCount = static_cast<int>(FuzzByte(control, 5, 5) % 8);
    std::unique_ptr<int[]> inFlow(new int[static_cast<std::size_t>(pageCount) + 1]);
    for (int i = 0; i < pageCount; ++i)
        inFlow[i] = static_cast<int>((FuzzByte(control, 6, 0xFF) >> i) & 1);
    int from = static_cast<int>(FuzzByte(control, 7, 0) % 10) - 1;
    int step = FuzzByte(control, 8, 0) & 1 ? 1 : -1;
    int expectedPos = -1;
    for (int pos = from + step; pos >= 0 && pos < pageCount; pos += step)
        if (inFlow[pos]) {
            expectedPos = pos;
            break;
        }
    FUZZ_CHECK(NeighbourPosition(from, step, inFlow.get(), pageCount) == expectedPos, "page walk");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = SplitFuzzFields(data, size, 4);
    std::wstring folder = DecodeFuzzText(fields[0]);
    std::wstring second = DecodeFuzzText(fields[1]);
    const std::string& control = fields[2];
    std::size_t choice = FuzzByte(control, 0, 0);
    std::size_t outChars = choice < 128 ? kFieldChars : choice - 127;

    // The folder dialog gives at most 259 characters.
    CheckBrowse(folder.substr(0, kFieldMaxLength), outChars);
    CheckTemplate(second, folder, outChars);
    std::size_t bufferChars =
        FuzzByte(control, 1, 0) < 128 ? kWhatsNewChars : FuzzByte(control, 1, 0) - 127;
    CheckWhatsNew(fields[3], bufferChars);
    CheckSmallRules(folder, second, control, outChars);
    return 0;
}
