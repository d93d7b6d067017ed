// The what's-new page: the viewer's change history in a read-only field.
#include "resources/resource.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wizard_rules.h"

#include <cwctype>
#include <memory>

namespace {

bool IsLetterOrDigit(wchar_t c) {
    return std::iswalpha(static_cast<wint_t>(c)) || std::iswdigit(static_cast<wint_t>(c));
}

} // namespace

// Loaded anew on every activation, so the field never accumulates. A missing
// or unreadable resource leaves the field as it was.
void CWizPropertyPage::LoadWhatsNewText() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDR_CHANGES), L"TXT");
    if (!resource)
        return;
    DWORD bytes = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded)
        return;
    const void* data = LockResource(loaded);
    if (!data)
        return;
    std::unique_ptr<wchar_t[]> text(new wchar_t[kWhatsNewChars]);
    PrepareWhatsNewText(data, bytes, text.get(), kWhatsNewChars, IsLetterOrDigit);
    SetDlgItemTextW(Hwnd(), IDC_FOLDER, text.get());
}
