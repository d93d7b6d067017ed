#include "framework/wizard_sheet.h"

#include "engine/text_buffer.h"
#include "framework/wizard_page.h"

#include <commctrl.h>
#include <prsht.h>

namespace {

// The sheet whose window is about to be created on this thread, and the hook
// that catches that creation.
thread_local WizardSheet* t_pendingSheet = nullptr;
thread_local HHOOK t_creationHook = nullptr;

bool IsDialogClass(const wchar_t* name) {
    if (IS_INTRESOURCE(name))
        return LOWORD(reinterpret_cast<ULONG_PTR>(name)) == 32770;
    return lstrcmpiW(name, L"#32770") == 0;
}

} // namespace

WizardSheet::WizardSheet(const wchar_t* caption) {
    CopyText(title_, sizeof(title_) / sizeof(title_[0]), caption);
}

bool WizardSheet::AddPage(WizardPage* page) {
    if (!page || Hwnd() || pageCount_ >= kMaxPages)
        return false;
    pages_[pageCount_++] = page;
    page->sheet_ = this;
    return true;
}

bool WizardSheet::RemoveAllPages() {
    if (Hwnd())
        return false;
    for (int i = 0; i < pageCount_; ++i) {
        pages_[i]->sheet_ = nullptr;
        pages_[i] = nullptr;
    }
    pageCount_ = 0;
    return true;
}

WizardPage* WizardSheet::GetPage(int index) const {
    if (index < 0 || index >= pageCount_)
        return nullptr;
    return pages_[index];
}

// The platform selects the new position in its (hidden) tab control before it
// creates and activates the page, so this is also right while a page is
// being brought up.
int WizardSheet::GetActiveIndex() const {
    if (!Hwnd())
        return 0;
    HWND tab = PropSheet_GetTabControl(Hwnd());
    int index = tab ? TabCtrl_GetCurSel(tab) : -1;
    if (index < 0)
        index = PropSheet_HwndToIndex(Hwnd(), PropSheet_GetCurrentPageHwnd(Hwnd()));
    return index < 0 ? 0 : index;
}

HWND WizardSheet::GetButton(int id) const {
    return Hwnd() ? GetDlgItem(Hwnd(), id) : nullptr;
}

void WizardSheet::EnableButton(int id, bool enable) const {
    if (HWND button = GetButton(id))
        EnableWindow(button, enable ? TRUE : FALSE);
}

void WizardSheet::SetButtonText(int id, const wchar_t* text) const {
    if (HWND button = GetButton(id))
        SetWindowTextW(button, text);
}

void WizardSheet::SetTitle(const wchar_t* title) {
    CopyText(title_, sizeof(title_) / sizeof(title_[0]), title);
    if (Hwnd())
        SetWindowTextW(Hwnd(), title_);
}

// The sheet window is subclassed as it is created (caught by a CBT hook), so
// that its WM_INITDIALOG already passes through OnInitDialog.
INT_PTR WizardSheet::DoModal() {
    if (Hwnd() || pageCount_ == 0)
        return -1;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    PROPSHEETPAGEW pages[kMaxPages] = {};
    for (int i = 0; i < pageCount_; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].dwFlags = PSP_DEFAULT;
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(pages_[i]->TemplateId());
        pages[i].pfnDlgProc = WizardPage::DialogProc;
        pages[i].lParam = reinterpret_cast<LPARAM>(pages_[i]);
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    header.hwndParent = nullptr;
    header.hInstance = instance;
    header.pszCaption = title_;
    header.nPages = static_cast<UINT>(pageCount_);
    header.nStartPage = 0;
    header.ppsp = pages;

    WizardSheet* outerPending = t_pendingSheet;
    HHOOK outerHook = t_creationHook;
    t_pendingSheet = this;
    t_creationHook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    INT_PTR result = PropertySheetW(&header);
    if (t_creationHook)
        UnhookWindowsHookEx(t_creationHook);
    t_creationHook = outerHook;
    t_pendingSheet = outerPending;
    Unhook();
    return result;
}

LRESULT CALLBACK WizardSheet::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_pendingSheet) {
        const CREATESTRUCTW* cs = reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs;
        if (!(cs->style & WS_CHILD) && IsDialogClass(cs->lpszClass)) {
            WizardSheet* sheet = t_pendingSheet;
            t_pendingSheet = nullptr;
            sheet->Hook(reinterpret_cast<HWND>(wParam));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WizardSheet::OnInitDialog() {
    return static_cast<BOOL>(Default());
}

BOOL WizardSheet::OnCommand(WPARAM, LPARAM) {
    Default();
    return TRUE;
}

void WizardSheet::OnSysCommand(WPARAM, LPARAM) {
    Default();
}

LRESULT WizardSheet::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_SYSCOMMAND:
        OnSysCommand(wParam, lParam);
        return 0;
    case WM_SETTEXT: {
        // In wizard mode the platform puts each page's caption into the title
        // bar as pages change. Pages without a caption would blank it: the
        // sheet keeps the last title it was given instead.
        const wchar_t* text = reinterpret_cast<const wchar_t*>(lParam);
        if (text && text[0]) {
            if (text != title_)
                CopyText(title_, sizeof(title_) / sizeof(title_[0]), text);
            return Default();
        }
        if (title_[0])
            return DefSubclassProc(Hwnd(), msg, wParam, reinterpret_cast<LPARAM>(title_));
        return Default();
    }
    default:
        return Default();
    }
}
