// A property sheet in wizard mode, run modally over the platform's own.
//
// Pages are added in order before the run; the sheet then shows them with
// the platform's Back, Next and Cancel buttons. A derived sheet may take part
// in the window's set-up (OnInitDialog) and in its commands (OnCommand,
// OnSysCommand), calling the base to let the platform's processing run.
#pragma once

#include "framework/window_subclass.h"

class WizardPage;

class WizardSheet : public WindowSubclass {
  public:
    // The platform's wizard buttons, addressed as child windows of the sheet.
    static constexpr int kBackButton = 0x3023;
    static constexpr int kNextButton = 0x3024;
    static constexpr int kCancelButton = IDCANCEL;
    static constexpr int kMaxPages = 16;

    // `caption` is the window title until SetTitle gives another one.
    explicit WizardSheet(const wchar_t* caption);
    ~WizardSheet() override = default;

    // Appends a page (kept, not owned); false when the sheet is full or running.
    bool AddPage(WizardPage* page);
    // Forgets every page, so that pages destroyed after a run are not kept;
    // false while the sheet runs.
    bool RemoveAllPages();
    // Shows the sheet and returns when it has closed, with the platform's result.
    INT_PTR DoModal();

    int GetPageCount() const { return pageCount_; }
    // The page at `index`, or null for a position that does not exist.
    WizardPage* GetPage(int index) const;
    // Position of the page shown (or being brought up); 0 before the run.
    int GetActiveIndex() const;

    // One of the wizard buttons (kBackButton, kNextButton, kCancelButton).
    HWND GetButton(int id) const;
    void EnableButton(int id, bool enable) const;
    void SetButtonText(int id, const wchar_t* text) const;
    // Sets the window title. The last non-empty title the window was given
    // (here or by SetWindowTextW) stays when the platform changes to a page
    // without a caption.
    void SetTitle(const wchar_t* title);

  protected:
    // Window set-up. The base runs the platform's set-up, which creates and
    // activates the first page, and returns its result.
    virtual BOOL OnInitDialog();
    // WM_COMMAND of the sheet window (its buttons, Escape). The base hands it
    // to the platform; TRUE means handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_SYSCOMMAND (the close box and the system menu). The base hands it on.
    virtual void OnSysCommand(WPARAM command, LPARAM lParam);

  private:
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) override;

    WizardPage* pages_[kMaxPages] = {};
    int pageCount_ = 0;
    wchar_t title_[256] = {};
};
