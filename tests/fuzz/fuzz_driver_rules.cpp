// The installation driver's rules without Windows calls: the version number of
// a version text, the icon library decision, the install-folder length rule and
// the failure text of the log.
//
// Input fields: a version text; a company text; an install folder text; control
// bytes (capacities, mode).
//
// Invariants: no undefined arithmetic for any version text (UBSan) and a number
// within +-2,000,000,000; the decision follows the number (above 4300 keep,
// below replace only for the maker in any ASCII letter case, equal asks for the
// size); the normalised folder is the trimmed text with one final backslash,
// cut to its exact buffer, and it fits exactly when it and the longest
// installed path stay within 259 characters; the failure text is the two parts
// around ": ", cut to its exact buffer.
#include "fuzz_text.h"

#include "engine/install_driver.h"
#include "engine/path_helpers.h"
#include "engine/text_buffer.h"

namespace {

bool IsMaker(const std::wstring& company) {
    static const std::wstring kMaker = L"marrowick";
    if (company.size() != kMaker.size())
        return false;
    for (std::size_t i = 0; i < kMaker.size(); ++i)
        if (AsciiLower(company[i]) != kMaker[i])
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = SplitFuzzFields(data, size, 4);
    std::wstring version = DecodeFuzzText(fields[0]);
    std::wstring company = DecodeFuzzText(fields[1]);
    std::wstring folder = DecodeFuzzText(fields[2]).substr(0, 700);
    const std::string& control = fields[3];

    ExactWideBuffer versionText(version);
    int number = VersionNumber(versionText.get());
    FUZZ_CHECK(number >= -2000000000 && number <= 2000000000, "version " + Printable(version));
    ExactWideBuffer companyText(company);
    int hasVersion = static_cast<int>(FuzzByte(control, 0, 1) & 1);
    IconsDecision decision = DecideIconsLibrary(hasVersion, versionText.get(), companyText.get());
    IconsDecision expected = !hasVersion                       ? IconsDecision::Replace
                             : number > kReferenceIconsVersion ? IconsDecision::Keep
                             : number < kReferenceIconsVersion
                                 ? (IsMaker(company) ? IconsDecision::Replace : IconsDecision::Keep)
                                 : IconsDecision::DependsOnSize;
    FUZZ_CHECK(decision == expected,
               "version " + Printable(version) + " company " + Printable(company));
    long long fileSize =
        static_cast<long long>(FuzzByte(control, 1, 0)) + kReplaceableIconsSize - 128;
    FUZZ_CHECK(ReplaceIconsOfReferenceVersion(fileSize, companyText.get()) ==
                   (fileSize == kReplaceableIconsSize && IsMaker(company)),
               "size rule");

    // The folder as the request holds it (519 characters at most), and a
    // normalised buffer of the real 520 characters or of a smaller size.
    ExactWideBuffer request(folder);
    std::size_t choice = FuzzByte(control, 2, 0);
    std::size_t capacity = choice < 128 ? kRequestFolderChars : choice * 2 - 256;
    ExactWideBuffer normalised(capacity, L'#');
    bool fits = InstallFolderFits(request.get(), normalised.get(), capacity);
    std::wstring model = ModelTrimSpaces(folder.substr(0, kRequestFolderChars - 1));
    if (!model.empty() && model.back() != L'\\')
        model += L'\\';
    const std::string where = "folder " + Printable(folder);
    FUZZ_CHECK(fits == (model.size() + LongestInstalledRelativePath() <= 259), where);
    if (capacity > 0)
        FUZZ_CHECK(normalised.Text() == model.substr(0, capacity - 1), where);

    // The failure text, message first or folder first.
    bool folderFirst = FuzzByte(control, 3, 0) & 1;
    std::size_t outChars = FuzzByte(control, 4, 0) < 128 ? 520 : FuzzByte(control, 4, 0) - 128;
    ExactWideBuffer out(outChars, L'#');
    ComposeFailureText(folderFirst, companyText.get(), request.get(), out.get(), outChars);
    std::wstring text = folderFirst ? folder + L": " + company : company + L": " + folder;
    if (outChars > 0)
        FUZZ_CHECK(out.Text() == text.substr(0, outChars - 1),
                   "failure text " + Printable(out.Text()));
    return 0;
}
