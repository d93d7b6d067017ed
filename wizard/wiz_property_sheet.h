// The setup wizard's window: a property sheet in wizard mode that hosts the
// five pages, owns what more than one page uses, asks before the user leaves
// the setup early and, when the user leaves the finish page, opens the FAQ
// page and starts the installed viewer as chosen there.
#pragma once

#include "controls/colour_static.h"
#include "controls/hyperlink.h"
#include "engine/install_request.h"
#include "engine/win_handles.h"
#include "framework/wizard_sheet.h"

#include <windows.h>

class CWizPropertySheet : public WizardSheet {
  public:
    // Positions of the pages in the sheet.
    static constexpr int kWelcomePosition = 0;
    static constexpr int kWhatsNewPosition = 1;
    static constexpr int kFileTypePosition = 2;
    static constexpr int kReadyPosition = 3;
    static constexpr int kFinishPosition = 4;

    CWizPropertySheet();

    // Heading font of the welcome, ready and finish pages.
    UniqueFont HeaderFont;
    // The file-type page's list; null until that page is first set up.
    HWND FileTypeList = nullptr;
    // The welcome page's licence link and the ready page's busy line.
    CHyperLink LicenceLink;
    CXColorStatic BusyText;
    // Title of the wizard and caption of every message box it shows.
    wchar_t CaptionText[kCaptionChars] = {};

    // "Installation beenden?" with Yes and No (No the default), owned by the
    // sheet. Returns IDYES or IDNO.
    int ConfirmQuit();
    // The two actions chosen on the finish page, run as the wizard is left.
    void RunFinishActions();

    // The page window at a position, or null.
    HWND PageWindow(int position) const;

  protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSysCommand(WPARAM command, LPARAM lParam) override;
};

// Tests only: what the finish page's FAQ box opens instead of the maker's web
// page (null restores the web page), so that a test run starts no browser.
void SetFaqAddressForTesting(const wchar_t* address);
