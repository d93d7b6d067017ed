// The ready page: the chosen folder once more, the settings-folder choice,
// and the installation itself when the user presses Next here.
#include "engine/install_driver.h"
#include "engine/messages.h"
#include "engine/path_helpers.h"
#include "engine/product.h"
#include "engine/text_buffer.h"
#include "resources/resource.h"
#include "shell/os_version.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"
#include "wizard/wizard_rules.h"

#include <commctrl.h>

namespace {

constexpr std::size_t kLabelChars = 50;
constexpr std::size_t kFolderLineChars = kLabelChars + 2 + kFieldChars;
constexpr int kBusyButtons[] = {WizardSheet::kBackButton, WizardSheet::kNextButton,
                                WizardSheet::kCancelButton};

InstallRunner g_installRunner = nullptr;

bool IsTicked(HWND page, int id) {
    return page && IsDlgButtonChecked(page, id) == BST_CHECKED;
}

} // namespace

void SetInstallRunnerForTesting(InstallRunner runner) {
    g_installRunner = runner;
}

// The radios are reset on every activation: a choice made earlier is not kept
// when the page is left and shown again.
void CWizPropertyPage::ActivateReadyPage() {
    HWND page = Hwnd();
    SendDlgItemMessageW(page, IDC_READY_HEADING, WM_SETFONT,
                        reinterpret_cast<WPARAM>(Sheet->HeaderFont.get()), TRUE);
    wchar_t folder[kFieldChars] = {};
    if (HWND welcome = PageWindow(CWizPropertySheet::kWelcomePosition))
        GetDlgItemTextW(welcome, IDC_FOLDER, folder, static_cast<int>(kFieldChars));
    TrimSpaces(folder);
    wchar_t label[kLabelChars] = {};
    LoadMessage(IDS_TARGET_LABEL, label, kLabelChars);
    wchar_t line[kFolderLineChars] = {};
    FormatReadyFolderLine(label, folder, line, kFolderLineChars);
    SetDlgItemTextW(page, IDC_READY_FOLDER, line);

    CheckDlgButton(page, IDC_INI_PROGRAM, BST_UNCHECKED);
    CheckDlgButton(page, IDC_INI_APPDATA, BST_CHECKED);
    if (!IsVersionAtLeast(6, 0, 0)) {
        CheckDlgButton(page, IDC_INI_PROGRAM, BST_CHECKED);
        CheckDlgButton(page, IDC_INI_APPDATA, BST_UNCHECKED);
    }
}

// The welcome page's fields are read now, so the request is what that page
// shows at this moment. The list counts only while it is enabled (box 3311).
void CWizPropertyPage::FillInstallRequest(InstallRequest& request) {
    ClearInstallRequest(request);
    HWND welcome = PageWindow(CWizPropertySheet::kWelcomePosition);
    if (welcome)
        GetDlgItemTextW(welcome, IDC_FOLDER, request.InstallFolder, kRequestFolderChars);
    TrimSpaces(request.InstallFolder);
    request.CreateGroup = IsTicked(welcome, IDC_GROUP) ? 1 : 0;
    request.CreateDesktopLink = IsTicked(welcome, IDC_DESKTOP_LINK) ? 1 : 0;
    request.CreateThumbnailsLink = IsTicked(welcome, IDC_THUMBS_LINK) ? 1 : 0;
    request.AllUsers = IsTicked(welcome, IDC_ALL_USERS) ? 1 : 0;

    HWND list = Sheet->FileTypeList;
    unsigned stateImages[kAssociationFlagCount] = {};
    int rows = 0;
    if (list && IsWindowEnabled(list)) {
        int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        rows = count < kAssociationFlagCount ? count : kAssociationFlagCount;
        for (int i = 0; i < rows; ++i) {
            UINT state = static_cast<UINT>(
                SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK));
            stateImages[i] = (state & LVIS_STATEIMAGEMASK) >> 12;
        }
    }
    request.AnyAssociation =
        AssociationFlagsFromStateImages(stateImages, rows, request.AssociationFlags);

    request.IniFolder[0] = L'\0';
    if (IsTicked(Hwnd(), IDC_INI_APPDATA))
        CopyText(request.IniFolder, kRequestFolderChars, kDefaultIniFolder);
    request.Silent = 0;
    CopyText(request.Caption, kCaptionChars, Sheet->CaptionText);
}

// Returns -1 (stay), 101 (back to the welcome page after a failure the driver
// has reported) or 0 when the installation succeeded.
LRESULT CWizPropertyPage::RunInstallationStep() {
    if (FindWindowW(kViewerWindowClass, nullptr)) {
        ShowMessage(IDS_VIEWER_RUNNING, MB_OK | MB_ICONWARNING);
        return -1;
    }
    InstallRequest request;
    FillInstallRequest(request);

    // The installation holds this thread: the busy line is painted now or never.
    if (HWND busy = GetDlgItem(Hwnd(), IDC_BUSY)) {
        ShowWindow(busy, SW_SHOW);
        UpdateWindow(busy);
    }
    for (int id : kBusyButtons)
        Sheet->EnableButton(id, false);
    int result = g_installRunner ? g_installRunner(request) : InstallDriver(request);
    for (int id : kBusyButtons)
        Sheet->EnableButton(id, true);
    return result ? 0 : static_cast<LRESULT>(IDD_WELCOME);
}
