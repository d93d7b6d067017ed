#include "framework/wizard_page.h"

#include "framework/static_control.h"

#include <commctrl.h>
#include <prsht.h>

bool DataExchange::BindControl(int id, StaticControl& control) const {
    if (control.Hwnd())
        return true;
    return control.Attach(GetDlgItem(page_, id));
}

void WizardPage::UpdateData(bool saving) {
    if (!hwnd_)
        return;
    DataExchange dx(hwnd_, saving);
    DoDataExchange(dx);
}

BOOL WizardPage::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

BOOL WizardPage::OnSetActive() {
    if (firstActivation_)
        firstActivation_ = false;
    else
        UpdateData(false);
    return TRUE;
}

BOOL WizardPage::OnKillActive() {
    UpdateData(true);
    return TRUE;
}

// The answers of the platform's page notifications go into DWLP_MSGRESULT.
INT_PTR WizardPage::OnNotify(const NMHDR* header) {
    LRESULT result = 0;
    switch (header->code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        break;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE;
        break;
    case PSN_WIZNEXT:
        result = OnWizardNext();
        break;
    case PSN_WIZBACK:
        result = OnWizardBack();
        break;
    default:
        return FALSE;
    }
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK WizardPage::DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        const PROPSHEETPAGEW* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        WizardPage* page = reinterpret_cast<WizardPage*>(psp->lParam);
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->hwnd_ = window;
        page->firstActivation_ = true;
        return page->OnInitDialog();
    }
    WizardPage* page = reinterpret_cast<WizardPage*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!page || page->hwnd_ != window)
        return FALSE;

    switch (msg) {
    case WM_NOTIFY:
        return page->OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC: {
        // Reflected to the bound control that asks; others get the default colours.
        StaticControl* control = StaticControl::FromHandle(reinterpret_cast<HWND>(lParam));
        HBRUSH brush = control ? control->ReflectCtlColor(reinterpret_cast<HDC>(wParam)) : nullptr;
        return reinterpret_cast<INT_PTR>(brush);
    }
    case WM_COMMAND: {
        StaticControl* control = StaticControl::FromHandle(reinterpret_cast<HWND>(lParam));
        if (control && control->ReflectCommand(HIWORD(wParam)))
            return TRUE;
        return page->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, DWLP_USER, 0);
        page->hwnd_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}
