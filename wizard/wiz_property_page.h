// The one page class of the setup wizard. What a page does is chosen by the
// position the sheet shows (0 welcome, 1 what's new, 2 file types, 3 ready,
// 4 finish), not by its template: one activation, Next, Back and data
// exchange routine serve all five, each branching on that position.
#pragma once

#include "engine/install_request.h"
#include "framework/wizard_page.h"

#include <windows.h>

class CWizPropertySheet;

class CWizPropertyPage : public WizardPage {
  public:
    explicit CWizPropertyPage(unsigned templateId) : WizardPage(templateId) {}

    // Set until the welcome page's first activation has run its one-time set-up.
    int FirstWelcomeActivation = 1;
    // The file-type list's own colours, saved before it is first greyed
    // (text colour -1: nothing saved yet).
    COLORREF SavedListBackColour = 0;
    COLORREF SavedListTextColour = static_cast<COLORREF>(-1);
    // The page takes part in the Back/Next walk.
    int InFlow = 1;
    // The owning sheet: the shared objects, the other pages and the buttons.
    CWizPropertySheet* Sheet = nullptr;

    // Template id of the nearest page in the flow in the given direction, or -1.
    virtual LRESULT GetNeighbourPage(bool forward);

  protected:
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    LRESULT OnWizardNext() override;
    bool OnCommand(int id, int code) override;

  private:
    int ActivePosition() const;
    HWND PageWindow(int position) const;
    int ShowMessage(unsigned messageId, UINT type);

    // Welcome page.
    void ActivateWelcomePage();
    bool ValidateInstallFolder();
    void UpdateScopeRadios();
    void ClearShortcutChoices();
    void BrowseForInstallFolder();
    // What's-new page.
    void LoadWhatsNewText();
    // File-type page.
    void ActivateFileTypePage();
    void OnWriteAssociationsClicked();
    void ApplyFileTypePreset(int buttonId);
    // Ready page.
    void ActivateReadyPage();
    LRESULT RunInstallationStep();
    void FillInstallRequest(InstallRequest& request);
    // Finish page.
    void ActivateFinishPage();
};

// The file-type list's enabled state with its colours and the three preset
// buttons of the page that holds it. Does nothing for a null list.
void SetFileTypeListEnabled(HWND list, bool enable, COLORREF background, COLORREF text);
// One row of the file-type list: the group text as the item, the description
// as its second column.
void AddFileTypeRow(HWND list, const wchar_t* group, const wchar_t* description, int index);

// The installation the ready page runs; tests put a stand-in here to see the
// request (null restores the real installation driver).
using InstallRunner = int (*)(InstallRequest& request);
void SetInstallRunnerForTesting(InstallRunner runner);
