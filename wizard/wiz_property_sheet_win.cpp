#include "wizard/wiz_property_sheet.h"

#include "engine/messages.h"
#include "engine/product.h"
#include "engine/text_buffer.h"
#include "framework/wizard_page.h"
#include "resources/resource.h"
#include "wizard/wizard_rules.h"

#include <shellapi.h>

namespace {

constexpr const wchar_t* kSheetConstructionCaption = L"Pellumbra Setup";
constexpr std::size_t kMessageChars = 260;
// The folder field (259 characters at most), a backslash and the viewer's name.
constexpr std::size_t kViewerPathChars = kFieldChars + 16;
constexpr DWORD kFirstLookDelayMs = 50;
constexpr int kViewerLookAttempts = 5;
constexpr DWORD kViewerLookIntervalMs = 500;

const wchar_t* g_faqAddressForTesting = nullptr;

} // namespace

void SetFaqAddressForTesting(const wchar_t* address) {
    g_faqAddressForTesting = address;
}

CWizPropertySheet::CWizPropertySheet() : WizardSheet(kSheetConstructionCaption) {}

HWND CWizPropertySheet::PageWindow(int position) const {
    WizardPage* page = GetPage(position);
    return page ? page->Hwnd() : nullptr;
}

// The platform's set-up creates and activates the welcome page, whose message
// boxes already need the caption: it is set first.
BOOL CWizPropertySheet::OnInitDialog() {
    CopyText(CaptionText, kCaptionChars, kSetupCaption);
    BOOL result = WizardSheet::OnInitDialog();
    wchar_t exitText[kMessageChars];
    LoadMessage(IDS_EXIT, exitText, kMessageChars);
    SetButtonText(kCancelButton, exitText);
    SetTitle(CaptionText);
    return result;
}

int CWizPropertySheet::ConfirmQuit() {
    wchar_t question[kMessageChars];
    LoadMessage(IDS_QUIT_QUESTION, question, kMessageChars);
    return MessageBoxW(Hwnd(), question, CaptionText, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
}

// Cancel and Escape. On the finish page the relabelled Cancel is the way
// forward; everywhere else it asks first.
BOOL CWizPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDCANCEL) {
        if (GetActiveIndex() == kFinishPosition)
            RunFinishActions();
        else if (ConfirmQuit() == IDNO)
            return TRUE;
    }
    return WizardSheet::OnCommand(wParam, lParam);
}

// The close box: the whole value is compared, so only a plain SC_CLOSE asks.
void CWizPropertySheet::OnSysCommand(WPARAM command, LPARAM lParam) {
    if (command == SC_CLOSE && GetActiveIndex() != kFinishPosition && ConfirmQuit() == IDNO)
        return;
    WizardSheet::OnSysCommand(command, lParam);
}

// Reports nothing: a page that cannot be opened or a viewer that does not
// come up within the attempts leaves no trace.
void CWizPropertySheet::RunFinishActions() {
    HWND finish = PageWindow(kFinishPosition);
    if (!finish)
        return;
    if (IsDlgButtonChecked(finish, IDC_SHOW_FAQ) == BST_CHECKED) {
        const wchar_t* address = g_faqAddressForTesting ? g_faqAddressForTesting : kFaqUrl;
        ShellExecuteW(GetDesktopWindow(), L"open", address, nullptr, L"", SW_SHOW);
    }
    if (IsDlgButtonChecked(finish, IDC_START_VIEWER) != BST_CHECKED)
        return;

    wchar_t folder[kFieldChars] = {};
    if (HWND welcome = PageWindow(kWelcomePosition))
        GetDlgItemTextW(welcome, IDC_FOLDER, folder, static_cast<int>(kFieldChars));
    wchar_t viewer[kViewerPathChars] = {};
    if (!BuildViewerPath(folder, viewer, kViewerPathChars))
        return;
    ShellExecuteW(GetActiveWindow(), L"open", viewer, L"", nullptr, SW_SHOW);
    Sleep(kFirstLookDelayMs);
    for (int attempt = 0; attempt < kViewerLookAttempts; ++attempt) {
        if (HWND window = FindWindowExW(nullptr, nullptr, kViewerWindowClass, nullptr)) {
            SetForegroundWindow(window);
            return;
        }
        Sleep(kViewerLookIntervalMs);
    }
}
