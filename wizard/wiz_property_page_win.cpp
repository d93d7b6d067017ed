// The page class: the flow between the pages, the per-position dispatch of
// activation and data exchange, and the command map shared by all pages.
#include "wizard/wiz_property_page.h"

#include "engine/messages.h"
#include "engine/product.h"
#include "resources/resource.h"
#include "wizard/wiz_property_sheet.h"
#include "wizard/wizard_rules.h"

namespace {

constexpr std::size_t kMessageChars = 1024;
constexpr int kBusyTextHeightPoints = 18;
constexpr COLORREF kBusyTextColour = RGB(255, 0, 0);

} // namespace

int CWizPropertyPage::ActivePosition() const {
    return Sheet ? Sheet->GetActiveIndex() : -1;
}

HWND CWizPropertyPage::PageWindow(int position) const {
    return Sheet ? Sheet->PageWindow(position) : nullptr;
}

int CWizPropertyPage::ShowMessage(unsigned messageId, UINT type) {
    wchar_t message[kMessageChars];
    LoadMessage(messageId, message, kMessageChars);
    return MessageBoxW(Hwnd(), message, Sheet ? Sheet->CaptionText : kSetupCaption, type);
}

// Pages that are not of this class count as taking part in the walk.
LRESULT CWizPropertyPage::GetNeighbourPage(bool forward) {
    if (!Sheet)
        return -1;
    int count = Sheet->GetPageCount();
    int inFlow[WizardSheet::kMaxPages] = {};
    for (int i = 0; i < count && i < WizardSheet::kMaxPages; ++i) {
        const CWizPropertyPage* page = dynamic_cast<const CWizPropertyPage*>(Sheet->GetPage(i));
        inFlow[i] = page ? page->InFlow : 1;
    }
    int position =
        NeighbourPosition(ActivePosition(), forward ? 1 : -1, inFlow,
                          count < WizardSheet::kMaxPages ? count : WizardSheet::kMaxPages);
    if (position < 0)
        return -1;
    return static_cast<LRESULT>(Sheet->GetPage(position)->TemplateId());
}

LRESULT CWizPropertyPage::OnWizardBack() {
    return GetNeighbourPage(false);
}

// Back is enabled first on every page, whatever follows: a Next refused on the
// welcome page therefore leaves it enabled.
LRESULT CWizPropertyPage::OnWizardNext() {
    if (!Sheet)
        return -1;
    Sheet->EnableButton(WizardSheet::kBackButton, true);
    switch (ActivePosition()) {
    case CWizPropertySheet::kWelcomePosition:
        if (!ValidateInstallFolder())
            return -1;
        break;
    case CWizPropertySheet::kReadyPosition: {
        LRESULT result = RunInstallationStep();
        if (result != 0)
            return result;
        break;
    }
    default:
        break;
    }
    return GetNeighbourPage(true);
}

BOOL CWizPropertyPage::OnSetActive() {
    if (Sheet) {
        switch (ActivePosition()) {
        case CWizPropertySheet::kWelcomePosition:
            ActivateWelcomePage();
            break;
        case CWizPropertySheet::kWhatsNewPosition:
            LoadWhatsNewText();
            break;
        case CWizPropertySheet::kFileTypePosition:
            ActivateFileTypePage();
            break;
        case CWizPropertySheet::kReadyPosition:
            ActivateReadyPage();
            break;
        case CWizPropertySheet::kFinishPosition:
            ActivateFinishPage();
            break;
        default:
            break;
        }
    }
    return WizardPage::OnSetActive();
}

// Binds the shared custom controls of the page shown. A bound control is not
// bound again; the styling is repeated and changes nothing visible.
void CWizPropertyPage::DoDataExchange(DataExchange& dx) {
    if (!Sheet)
        return;
    switch (ActivePosition()) {
    case CWizPropertySheet::kWelcomePosition:
        dx.BindControl(IDC_LICENCE_LINK, Sheet->LicenceLink);
        if (Sheet->LicenceLink.UnderlineMode != CHyperLink::UnderlineAlways)
            Sheet->LicenceLink.SetUnderlineMode(CHyperLink::UnderlineAlways);
        Sheet->LicenceLink.SetTarget(kLicenceUrl);
        break;
    case CWizPropertySheet::kReadyPosition: {
        dx.BindControl(IDC_BUSY, Sheet->BusyText);
        Sheet->BusyText.SetTextColour(kBusyTextColour);
        Sheet->BusyText.EnableBold();
        int dpi = 96;
        if (HDC dc = GetDC(Sheet->Hwnd())) {
            dpi = GetDeviceCaps(dc, LOGPIXELSX);
            ReleaseDC(Sheet->Hwnd(), dc);
        }
        Sheet->BusyText.UseArialFont(MulDiv(kBusyTextHeightPoints, dpi, 96));
        break;
    }
    default:
        break;
    }
}

// The command map: button clicks of the page that holds the button.
bool CWizPropertyPage::OnCommand(int id, int code) {
    if (code != BN_CLICKED || !Sheet)
        return false;
    switch (id) {
    case IDC_BROWSE:
    case IDC_INI_BROWSE:
        BrowseForInstallFolder();
        return true;
    case IDC_DESKTOP_LINK:
    case IDC_THUMBS_LINK:
    case IDC_GROUP:
        UpdateScopeRadios();
        return true;
    case IDC_NO_LINKS:
        ClearShortcutChoices();
        return true;
    case IDC_WRITE_ASSOC:
        OnWriteAssociationsClicked();
        return true;
    case IDC_IMAGES_ONLY:
    case IDC_TICK_ALL:
    case IDC_TICK_NONE:
        ApplyFileTypePreset(id);
        return true;
    default:
        return false;
    }
}
