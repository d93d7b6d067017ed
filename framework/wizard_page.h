// One page of a wizard property sheet, built from a dialog template.
//
// The platform creates the page's window on its first activation and keeps
// it until the sheet closes. The page hears of its activation, of being
// left, of the wizard's Next and Back, and of clicks on its buttons; its data
// exchange runs when the window is created, when the page is left and on
// every later activation. Notifications that bound static controls cause at
// the page (colour request, click) are reflected back to those controls.
#pragma once

#include <windows.h>

class WizardSheet;
class StaticControl;

// The context of one data exchange run of a page.
class DataExchange {
  public:
    DataExchange(HWND page, bool saving) : page_(page), saving_(saving) {}

    HWND Page() const { return page_; }
    // True when the page is being left (controls to data), false when it is
    // being shown (data to controls).
    bool Saving() const { return saving_; }

    // Attaches dialog item `id` to `control`, unless the control already has
    // a window (a bound object is not bound again). True when the control is
    // attached to a window afterwards.
    bool BindControl(int id, StaticControl& control) const;

  private:
    HWND page_;
    bool saving_;
};

class WizardPage {
  public:
    // Caption id 0: the page has no title of its own.
    explicit WizardPage(unsigned templateId) : templateId_(templateId) {}
    virtual ~WizardPage() = default;
    WizardPage(const WizardPage&) = delete;
    WizardPage& operator=(const WizardPage&) = delete;

    unsigned TemplateId() const { return templateId_; }
    // The page's window; null before its first activation and after the sheet closed.
    HWND Hwnd() const { return hwnd_; }
    // The sheet the page was added to.
    WizardSheet* GetSheet() const { return sheet_; }

    // Runs the data exchange now, in the given direction.
    void UpdateData(bool saving);

  protected:
    // The window was created (first activation): runs the data exchange.
    virtual BOOL OnInitDialog();
    // Every activation: runs the data exchange, except on the first one
    // (OnInitDialog has just done it). TRUE shows the page.
    virtual BOOL OnSetActive();
    // The page is left: runs the data exchange (saving). TRUE lets it go.
    virtual BOOL OnKillActive();
    // Next and Back: 0 moves to the neighbour page, -1 stays, any other value
    // is the dialog template id of the page to go to.
    virtual LRESULT OnWizardNext() { return 0; }
    virtual LRESULT OnWizardBack() { return 0; }
    virtual void DoDataExchange(DataExchange&) {}
    // Commands of the page's controls (BN_CLICKED and the like): the command
    // map. True when handled.
    virtual bool OnCommand(int, int) { return false; }

  private:
    friend class WizardSheet;
    static INT_PTR CALLBACK DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR OnNotify(const NMHDR* header);

    unsigned templateId_;
    HWND hwnd_ = nullptr;
    WizardSheet* sheet_ = nullptr;
    bool firstActivation_ = true;
};
