// The real wizard -- the five page templates of the installer, its sheet and
// page class -- run modally on the test's main thread and worked from a
// driver thread as a user would: button clicks, ticks, typed folders and
// answers to message boxes. The registry and the shell folders are
// redirected, and the installation is a recorder unless a test asks for the
// real driver.
#pragma once

#include "framework/ui_driver.h"
#include "shell_fixture.h"
#include "support/folder_fixture.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One call of the installation, as the recorder saw it.
struct InstallCall {
    InstallRequest Request;
    bool BackEnabled;
    bool NextEnabled;
    bool CancelEnabled;
    bool BusyVisible;
    int Position;
};

// What a message box showed.
struct BoxInfo {
    HWND Window = nullptr;
    std::wstring Caption;
    std::wstring Text;
    int DefaultButton = 0;
    bool HasYesNo = false;
    bool HasOk = false;
    // IDI_WARNING, IDI_ERROR, IDI_QUESTION, ... or null when unknown.
    const wchar_t* Icon = nullptr;
};

class WizardTest : public ShellFolderFixture {
  public:
    // The three wizard buttons: enabled states and captions.
    struct Buttons {
        bool Back, Next, Cancel;
        std::wstring BackText, NextText, CancelText;
    };

  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the wizard with `steps`. They start once the sheet shows its
    // welcome page, or once the first message box is up when boxFirst is set.
    void RunWizard(const std::function<void(UiDriver&)>& steps, bool boxFirst = false);

    // The window of the page at a position, and of a control on it.
    HWND Page(UiDriver& ui, int position);
    HWND Control(UiDriver& ui, int position, int id);
    int Position(UiDriver& ui);

    // Waits until every message posted so far (and what it posted in turn)
    // has been handled by the user-interface thread.
    void Settle(UiDriver& ui);

    // Clicks a wizard button or a control of the page shown, posted, as the
    // user would; refused (test failure) when it is hidden or disabled.
    void ClickButton(UiDriver& ui, int buttonId);
    void Click(UiDriver& ui, int id);
    void Next(UiDriver& ui) { ClickButton(ui, WizardSheet::kNextButton); }
    void Back(UiDriver& ui) { ClickButton(ui, WizardSheet::kBackButton); }
    // Ticks or unticks a box of the page shown with a click, when it differs.
    void Tick(UiDriver& ui, int id, bool ticked);
    bool Ticked(UiDriver& ui, int position, int id);
    bool Enabled(UiDriver& ui, HWND window);
    bool Visible(UiDriver& ui, HWND window);
    std::wstring Text(UiDriver& ui, HWND window);
    void SetFolder(UiDriver& ui, const std::wstring& text);
    std::wstring Folder(UiDriver& ui);

    Buttons ButtonStates(UiDriver& ui);

    // Waits for a message box and describes it; Window is null on timeout.
    BoxInfo WaitForBox(UiDriver& ui, int timeoutMs = 5000);
    void Answer(UiDriver& ui, const BoxInfo& box, int buttonId);
    // No box is open now.
    bool NoBox(UiDriver& ui);

    // Walks forward with Next from the welcome page to `position` (< 4).
    void WalkTo(UiDriver& ui, int position);
    // From the ready page: Next with a successful installation, to the finish page.
    void FinishInstallation(UiDriver& ui);

    // The file-type list: count and the state image of each row.
    std::vector<unsigned> RowStates(UiDriver& ui);
    void SetRowState(UiDriver& ui, int row, unsigned stateImage);

    // A window of the viewer's class; both run on the user-interface thread
    // (the test's main thread: before the run, or through ui.OnUi).
    void CreateFakeViewer();
    void DestroyFakeViewer();

    // A fresh folder of this test (ending in a backslash).
    const std::wstring& TestFolder() const { return folder_->Folder(); }

    CWizPropertySheet sheet_;
    std::unique_ptr<CWizPropertyPage> pages_[5];

    // The recorder's calls and the result it gives.
    static std::vector<InstallCall> calls_;
    static int installResult_;

  private:
    struct FolderHelper : FolderFixture {
        void TestBody() override {}
        using FolderFixture::Folder;
        using FolderFixture::SetUp;
        using FolderFixture::TearDown;
    };
    static int RecordInstallation(InstallRequest& request);
    static WizardTest* current_;

    std::unique_ptr<FolderHelper> folder_;
    HWND marker_ = nullptr;
    HWND fakeViewer_ = nullptr;
};

// Position names for readability.
constexpr int kWelcome = CWizPropertySheet::kWelcomePosition;
constexpr int kWhatsNew = CWizPropertySheet::kWhatsNewPosition;
constexpr int kFileTypes = CWizPropertySheet::kFileTypePosition;
constexpr int kReady = CWizPropertySheet::kReadyPosition;
constexpr int kFinish = CWizPropertySheet::kFinishPosition;

// The installer's own texts, as the user sees them.
std::wstring MessageText(unsigned id);
// A window's whole text.
std::wstring WindowText(HWND window);
// Dots per inch of the screen, as the pages are laid out for.
int ScreenDpi();
