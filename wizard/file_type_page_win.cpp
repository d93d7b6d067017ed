// The file-type page: the table's rows in a list with check boxes, greyed and
// ignored until the user asks for associations with box 3311.
#include "resources/resource.h"
#include "shell/file_type_table.h"
#include "shell/os_version.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"
#include "wizard/wizard_rules.h"

#include <commctrl.h>

namespace {

constexpr COLORREF kGreyedBackground = RGB(192, 192, 192);
constexpr COLORREF kGreyedText = RGB(255, 128, 0);
constexpr int kPresetButtons[] = {IDC_IMAGES_ONLY, IDC_TICK_ALL, IDC_TICK_NONE};
constexpr UINT kUntickedBox = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kTickedBox = INDEXTOSTATEIMAGEMASK(2);

void InsertColumn(HWND list, int index, int width) {
    wchar_t empty[1] = {L'\0'};
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = empty;
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

} // namespace

// The list's colours change with its state; it is repainted at once so the
// greying shows without waiting for another reason to paint.
void SetFileTypeListEnabled(HWND list, bool enable, COLORREF background, COLORREF text) {
    if (!list)
        return;
    EnableWindow(list, enable ? TRUE : FALSE);
    SendMessageW(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    // Rows paint their text on a background of their own: without it a greyed
    // list would show its orange rows on white.
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
    SendMessageW(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    InvalidateRect(list, nullptr, TRUE);
    HWND page = GetParent(list);
    for (int id : kPresetButtons)
        EnableWindow(GetDlgItem(page, id), enable ? TRUE : FALSE);
}

void AddFileTypeRow(HWND list, const wchar_t* group, const wchar_t* description, int index) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.iSubItem = 0;
    item.pszText = const_cast<wchar_t*>(group);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMW sub = {};
    sub.iSubItem = 1;
    sub.pszText = const_cast<wchar_t*>(description);
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&sub));
}

// The list is set up and filled once per run; afterwards an activation only
// greys it again while box 3311 is not ticked.
void CWizPropertyPage::ActivateFileTypePage() {
    HWND page = Hwnd();
    ShowWindow(GetDlgItem(page, IDC_ALL_USERS_XP), SW_HIDE);
    if (!Sheet->FileTypeList) {
        HWND list = GetDlgItem(page, IDC_FILETYPE_LIST);
        Sheet->FileTypeList = list;
        if (IsVersionAtLeast(6, 0, 0))
            CheckDlgButton(page, IDC_WRITE_ASSOC, BST_UNCHECKED);
        // Windows 11 resets choices written without its own hash: no associations there.
        if (GetOsVersionClass() == kOsClassWindows11)
            EnableWindow(GetDlgItem(page, IDC_WRITE_ASSOC), FALSE);
        if (SavedListTextColour == static_cast<COLORREF>(-1)) {
            SavedListBackColour = static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0));
            SavedListTextColour = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0));
        }
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);

        RECT outer = {};
        GetWindowRect(list, &outer);
        int width = outer.right - outer.left;
        int dpi = 96;
        if (HDC dc = GetDC(list)) {
            dpi = GetDeviceCaps(dc, LOGPIXELSX);
            ReleaseDC(list, dc);
        }
        InsertColumn(list, 0, width / 3);
        InsertColumn(list, 1, (2 * width) / 3 - MulDiv(25, dpi, 96));
        for (int i = 0; i < kFileTypeRowCount; ++i) {
            const FileTypeRow* row = FileTypeRowAt(i);
            AddFileTypeRow(list, row->DisplayGroup, row->Description, i);
        }
    }
    if (IsDlgButtonChecked(page, IDC_WRITE_ASSOC) != BST_CHECKED)
        SetFileTypeListEnabled(Sheet->FileTypeList, false, kGreyedBackground, kGreyedText);
}

void CWizPropertyPage::OnWriteAssociationsClicked() {
    if (IsDlgButtonChecked(Hwnd(), IDC_WRITE_ASSOC) == BST_CHECKED)
        SetFileTypeListEnabled(Sheet->FileTypeList, true, SavedListBackColour, SavedListTextColour);
    else
        SetFileTypeListEnabled(Sheet->FileTypeList, false, kGreyedBackground, kGreyedText);
}

void CWizPropertyPage::ApplyFileTypePreset(int buttonId) {
    HWND list = Sheet->FileTypeList;
    if (!list)
        return;
    FileTypePreset preset = buttonId == IDC_IMAGES_ONLY ? FileTypePreset::ImagesOnly
                            : buttonId == IDC_TICK_ALL  ? FileTypePreset::All
                                                        : FileTypePreset::None;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMW item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = PresetTicksRow(preset, i) ? kTickedBox : kUntickedBox;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
    }
}
