#include "shell/association_text.h"

#include "engine/text_buffer.h"

namespace {

constexpr const wchar_t* kProgIdStem = L"Pellumbra";

} // namespace

bool BuildAssociationNames(const wchar_t* extension, const wchar_t* suffix, AssociationNames* out) {
    if (!extension || !suffix || !out)
        return false;
    wchar_t upperSuffix[kAssociationTextChars];
    if (!CopyText(upperSuffix, kAssociationTextChars, suffix))
        return false;
    for (wchar_t* c = upperSuffix; *c; ++c)
        *c = AsciiUpper(*c);
    const std::size_t n = kAssociationTextChars;
    return FormatText(out->ProgId, n, L"%ls.%ls", kProgIdStem, suffix) &&
           FormatText(out->ClassDescription, n, L"%ls %ls File", kProgIdStem, upperSuffix) &&
           FormatText(out->ExtensionKey, n, L"SOFTWARE\\Classes\\.%ls", extension) &&
           FormatText(out->ClassKey, n, L"SOFTWARE\\Classes\\%ls.%ls", kProgIdStem, suffix) &&
           FormatText(out->CommandKey, n, L"%ls\\shell\\open\\command", out->ClassKey) &&
           FormatText(out->DefaultIconKey, n, L"SOFTWARE\\Classes\\%ls.%ls\\DefaultIcon",
                      kProgIdStem, suffix) &&
           FormatText(out->CapabilityName, n, L".%ls", extension) &&
           FormatText(out->UserChoiceKey, n,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.%ls"
                      L"\\UserChoice",
                      extension);
}

bool AlwaysSetsExtensionDefault(const wchar_t* extension) {
    return EqualsIgnoreAsciiCase(extension, L"JPG") || EqualsIgnoreAsciiCase(extension, L"PNG") ||
           EqualsIgnoreAsciiCase(extension, L"TIF");
}
