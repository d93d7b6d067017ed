// The finish page: the end of the setup and the two follow-up choices, which
// the sheet carries out when the user leaves with the relabelled Cancel.
#include "engine/messages.h"
#include "resources/resource.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"

namespace {

constexpr std::size_t kCaptionTextChars = 64;

} // namespace

void CWizPropertyPage::ActivateFinishPage() {
    HWND page = Hwnd();
    SendDlgItemMessageW(page, IDC_FINISH_HEADING, WM_SETFONT,
                        reinterpret_cast<WPARAM>(Sheet->HeaderFont.get()), TRUE);
    CheckDlgButton(page, IDC_SHOW_FAQ, BST_CHECKED);
    CheckDlgButton(page, IDC_START_VIEWER, BST_CHECKED);
    wchar_t finish[kCaptionTextChars] = {};
    LoadMessage(IDS_FINISH, finish, kCaptionTextChars);
    Sheet->SetButtonText(WizardSheet::kCancelButton, finish);
    Sheet->EnableButton(WizardSheet::kBackButton, false);
    Sheet->EnableButton(WizardSheet::kNextButton, false);
}
