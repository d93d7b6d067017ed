// The welcome page: greeting, shortcut choices with their user scope, the
// install folder (typed or browsed for) and the licence link.
#include "app/install_location.h"
#include "engine/messages.h"
#include "engine/product.h"
#include "engine/text_buffer.h"
#include "resources/resource.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"
#include "wizard/wizard_rules.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

constexpr std::size_t kPageTextChars = 512;
constexpr std::size_t kTitleChars = 50;
constexpr int kShortcutBoxes[] = {IDC_DESKTOP_LINK, IDC_THUMBS_LINK, IDC_GROUP};

// A page text whose template holds "%s" markers, filled with the given values.
void FillControlText(HWND page, int id, const wchar_t* const* values, int valueCount) {
    wchar_t pattern[kPageTextChars] = {};
    GetDlgItemTextW(page, id, pattern, static_cast<int>(kPageTextChars));
    wchar_t text[kPageTextChars] = {};
    FillTemplateText(pattern, values, valueCount, text, kPageTextChars);
    SetDlgItemTextW(page, id, text);
}

// Opens the folder dialog on the folder the field names; a drive root keeps
// its separator, any other folder is passed without it.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        wchar_t start[kFieldChars] = {};
        BrowseStartFolder(reinterpret_cast<const wchar_t*>(data), start, kFieldChars);
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start));
    }
    return 0;
}

} // namespace

void CWizPropertyPage::ActivateWelcomePage() {
    HWND page = Hwnd();
    Sheet->EnableButton(WizardSheet::kBackButton, false);
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SETUP));
    SendMessageW(Sheet->Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    if (FirstWelcomeActivation) {
        Sheet->SetButtonText(WizardSheet::kBackButton, L"< &Zurück");
        Sheet->SetButtonText(WizardSheet::kNextButton, L"&Weiter >");
        SendDlgItemMessageW(page, IDC_WELCOME_HEADING, WM_SETFONT,
                            reinterpret_cast<WPARAM>(Sheet->HeaderFont.get()), TRUE);
        wchar_t version[16] = {};
        FormatText(version, 16, L"%d.%d", kViewerVersionMajor, kViewerVersionMinor);
        const wchar_t* heading[] = {kViewerBitness};
        FillControlText(page, IDC_WELCOME_HEADING, heading, 1);
        const wchar_t* greeting[] = {version, kViewerBitness};
        FillControlText(page, IDC_WELCOME_TEXT, greeting, 2);
        for (int id : kShortcutBoxes)
            CheckDlgButton(page, id, BST_CHECKED);
        CheckRadioButton(page, IDC_CURRENT_USER, IDC_ALL_USERS, IDC_CURRENT_USER);

        wchar_t folder[kLocationChars] = {};
        GetDefaultInstallFolder(folder, kLocationChars);
        SetDlgItemTextW(page, IDC_FOLDER, folder);
        wchar_t existing[kLocationChars] = {};
        if (FindExistingInstallFolder(existing, kLocationChars))
            SetDlgItemTextW(page, IDC_FOLDER, existing);
    }

    // Information only: the ready page blocks the installation itself.
    if (FindWindowW(kViewerWindowClass, nullptr))
        ShowMessage(IDS_VIEWER_RUNNING, MB_OK | MB_ICONWARNING);
    FirstWelcomeActivation = 0;
}

// Only the drive part is checked here; whether the folder can be made is
// found out by the installation itself.
bool CWizPropertyPage::ValidateInstallFolder() {
    wchar_t folder[kFieldChars] = {};
    GetDlgItemTextW(Hwnd(), IDC_FOLDER, folder, static_cast<int>(kFieldChars));
    if (IsAcceptableInstallFolder(folder))
        return true;
    ShowMessage(IDS_INVALID_FOLDER, MB_OK | MB_ICONHAND);
    return false;
}

// The user scope means something only while a shortcut is chosen; the
// selection itself is kept.
void CWizPropertyPage::UpdateScopeRadios() {
    HWND page = Hwnd();
    bool any = false;
    for (int id : kShortcutBoxes)
        any = any || IsDlgButtonChecked(page, id) == BST_CHECKED;
    EnableWindow(GetDlgItem(page, IDC_CURRENT_USER), any ? TRUE : FALSE);
    EnableWindow(GetDlgItem(page, IDC_ALL_USERS), any ? TRUE : FALSE);
}

void CWizPropertyPage::ClearShortcutChoices() {
    HWND page = Hwnd();
    for (int id : kShortcutBoxes)
        CheckDlgButton(page, id, BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, IDC_CURRENT_USER), FALSE);
    EnableWindow(GetDlgItem(page, IDC_ALL_USERS), FALSE);
}

// The shell's folder dialog on the field 1000 of the page whose button was
// clicked. A cancelled dialog, or an item that is no file-system folder,
// leaves the field as it was.
void CWizPropertyPage::BrowseForInstallFolder() {
    HWND page = Hwnd();
    wchar_t text[kFieldChars] = {};
    GetDlgItemTextW(page, IDC_FOLDER, text, static_cast<int>(kFieldChars));
    wchar_t title[kTitleChars] = {};
    LoadMessage(IDS_BROWSE_TITLE, title, kTitleChars);
    wchar_t displayName[MAX_PATH] = {};

    BROWSEINFOW info = {};
    info.hwndOwner = GetActiveWindow();
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(text);

    // The shell's dialog expects COM on the calling thread.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    wchar_t chosen[MAX_PATH] = {};
    bool isFolder = false;
    if (item) {
        isFolder = SHGetPathFromIDListW(item, chosen) != FALSE;
        CoTaskMemFree(item);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    if (!isFolder)
        return;

    wchar_t completed[kFieldChars] = {};
    CompleteBrowsedFolder(chosen, completed, kFieldChars);
    if (completed[0] != L'\0')
        SetDlgItemTextW(page, IDC_FOLDER, completed);
}
