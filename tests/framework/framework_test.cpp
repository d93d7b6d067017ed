// The UI layer driven for real: a wizard sheet of three test pages run
// modally on the test's main thread, worked from a driver thread.
#include "framework/app.h"
#include "framework/static_control.h"
#include "framework/wizard_page.h"
#include "framework/wizard_sheet.h"
#include "test_pages.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kTitle[] = L"Test Wizard";

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// A static control that counts its attachments and answers reflected notifications.
class ProbeStatic : public StaticControl {
  public:
    int attaches = 0;
    int clicks = 0;
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));

  protected:
    void OnAttach() override { ++attaches; }
    HBRUSH OnReflectedCtlColor(HDC) override { return brush; }
    bool OnReflectedCommand(UINT code) override {
        if (code != STN_CLICKED)
            return false;
        ++clicks;
        return true;
    }
};

class TestPage : public WizardPage {
  public:
    TestPage(unsigned id, std::vector<std::string>* log) : WizardPage(id), log_(log) {}

    LRESULT nextResult = 0;
    LRESULT backResult = 0;
    ProbeStatic* bindTarget = nullptr;
    std::vector<int> commands;

  protected:
    std::string Name() const { return std::to_string(TemplateId()); }
    BOOL OnSetActive() override {
        log_->push_back("active " + Name());
        return WizardPage::OnSetActive();
    }
    BOOL OnKillActive() override {
        log_->push_back("kill " + Name());
        return WizardPage::OnKillActive();
    }
    LRESULT OnWizardNext() override {
        log_->push_back("next " + Name());
        return nextResult;
    }
    LRESULT OnWizardBack() override {
        log_->push_back("back " + Name());
        return backResult;
    }
    void DoDataExchange(DataExchange& dx) override {
        // The position seen here is the one the wizard pages branch on.
        log_->push_back(std::string(dx.Saving() ? "save " : "load ") + Name() + " at " +
                        std::to_string(GetSheet()->GetActiveIndex()));
        if (bindTarget)
            dx.BindControl(IDC_TEST_BOUND, *bindTarget);
    }
    bool OnCommand(int id, int code) override {
        if (code != BN_CLICKED)
            return false;
        commands.push_back(id);
        return true;
    }

  private:
    std::vector<std::string>* log_;
};

class TestSheet : public WizardSheet {
  public:
    TestSheet() : WizardSheet(L"Initial caption") {}

    bool confirm = true;
    int cancelCommands = 0;
    std::vector<WPARAM> sysCommands;
    bool firstPageUpDuringBase = false;

  protected:
    BOOL OnInitDialog() override {
        BOOL result = WizardSheet::OnInitDialog();
        firstPageUpDuringBase = GetPage(0)->Hwnd() != nullptr;
        SetButtonText(kCancelButton, L"&Beenden");
        // As the wizard does it: straight on the window.
        SetWindowTextW(Hwnd(), kTitle);
        return result;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == IDCANCEL) {
            ++cancelCommands;
            if (confirm && Ask() == IDNO)
                return TRUE;
        }
        return WizardSheet::OnCommand(wParam, lParam);
    }
    void OnSysCommand(WPARAM command, LPARAM lParam) override {
        sysCommands.push_back(command);
        if (command == SC_CLOSE && confirm && Ask() == IDNO)
            return;
        WizardSheet::OnSysCommand(command, lParam);
    }

  private:
    int Ask() {
        return MessageBoxW(Hwnd(), L"Quit?", kTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    }
};

class WizardFixture : public ::testing::Test {
  protected:
    WizardFixture()
        : first_(IDD_TEST_FIRST, &log_), second_(IDD_TEST_SECOND, &log_),
          third_(IDD_TEST_THIRD, &log_) {
        sheet_.AddPage(&first_);
        sheet_.AddPage(&second_);
        sheet_.AddPage(&third_);
    }

    // Runs the sheet with `steps`; the sheet is up on its first page when they start.
    void RunSheet(const std::function<void(UiDriver&)>& steps) {
        UiDriver::Run([&] { sheet_.DoModal(); },
                      [&](UiDriver& ui) {
                          ASSERT_TRUE(UiDriver::WaitFor([&] {
                              return ui.Query<bool>([&] {
                                  return sheet_.Hwnd() && IsWindowVisible(sheet_.Hwnd()) &&
                                         first_.Hwnd();
                              });
                          }));
                          steps(ui);
                      });
    }

    int ActiveIndex(UiDriver& ui) {
        return ui.Query<int>([&] { return sheet_.GetActiveIndex(); });
    }

    // Presses a wizard button (posted, as a user's click) and waits until the
    // sheet has handled it.
    void Press(UiDriver& ui, int button) {
        size_t before = ui.Query<size_t>([&] { return log_.size(); });
        PostMessageW(sheet_.Hwnd(), PSM_PRESSBUTTON, button, 0);
        UiDriver::WaitFor([&] { return ui.Query<size_t>([&] { return log_.size(); }) > before; });
        PumpIdle(ui);
    }

    // Lets the user-interface thread finish what it is doing.
    static void PumpIdle(UiDriver& ui) {
        Sleep(50);
        ui.OnUi([] {});
    }

    void CloseQuietly(UiDriver& ui) {
        ui.OnUi([&] { sheet_.confirm = false; });
        PostMessageW(sheet_.Hwnd(), WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }));
    }

    std::vector<std::string> log_;
    TestSheet sheet_;
    TestPage first_;
    TestPage second_;
    TestPage third_;
};

TEST_F(WizardFixture, PagesKeepTheirOrderAndPositionsOutsideAreNull) {
    EXPECT_EQ(sheet_.GetPageCount(), 3);
    EXPECT_EQ(sheet_.GetPage(0), &first_);
    EXPECT_EQ(sheet_.GetPage(1), &second_);
    EXPECT_EQ(sheet_.GetPage(2), &third_);
    EXPECT_EQ(sheet_.GetPage(3), nullptr);
    EXPECT_EQ(sheet_.GetPage(-1), nullptr);
    EXPECT_EQ(first_.GetSheet(), &sheet_);
    EXPECT_EQ(sheet_.GetActiveIndex(), 0);

    RunSheet([&](UiDriver& ui) {
        EXPECT_EQ(ActiveIndex(ui), 0);
        EXPECT_EQ(ui.Query<HWND>([&] { return second_.Hwnd(); }), nullptr)
            << "pages are created on their first activation";
        EXPECT_FALSE(ui.Query<bool>([&] { return sheet_.AddPage(&first_); }))
            << "no pages are added while the sheet runs";
        CloseQuietly(ui);
    });
    EXPECT_EQ(sheet_.Hwnd(), nullptr);
    EXPECT_EQ(first_.Hwnd(), nullptr);
}

TEST_F(WizardFixture, NextAndBackFollowTheResultsOfThePages) {
    RunSheet([&](UiDriver& ui) {
        ui.OnUi([&] { first_.nextResult = -1; });
        Press(ui, PSBTN_NEXT);
        EXPECT_EQ(ActiveIndex(ui), 0) << "-1 stays";

        ui.OnUi([&] { first_.nextResult = IDD_TEST_THIRD; });
        Press(ui, PSBTN_NEXT);
        EXPECT_EQ(ActiveIndex(ui), 2) << "a template id goes to that page";
        EXPECT_EQ(ui.Query<HWND>([&] { return second_.Hwnd(); }), nullptr);

        Press(ui, PSBTN_BACK);
        EXPECT_EQ(ActiveIndex(ui), 1) << "0 goes to the neighbour";

        ui.OnUi([&] { second_.backResult = -1; });
        Press(ui, PSBTN_BACK);
        EXPECT_EQ(ActiveIndex(ui), 1);

        ui.OnUi([&] { second_.backResult = IDD_TEST_FIRST; });
        Press(ui, PSBTN_BACK);
        EXPECT_EQ(ActiveIndex(ui), 0);

        // Every page shows the sheet's title, not a page caption.
        EXPECT_EQ(TextOf(sheet_.Hwnd()), kTitle);
        ui.OnUi([&] { sheet_.SetTitle(L"Another title"); });
        ui.OnUi([&] { first_.nextResult = 0; });
        Press(ui, PSBTN_NEXT);
        EXPECT_EQ(ActiveIndex(ui), 1);
        EXPECT_EQ(TextOf(sheet_.Hwnd()), L"Another title");
        CloseQuietly(ui);
    });
}

TEST_F(WizardFixture, DataExchangeRunsOnCreationOnLeavingAndOnLaterActivations) {
    ProbeStatic probe;
    first_.bindTarget = &probe;
    RunSheet([&](UiDriver& ui) {
        Press(ui, PSBTN_NEXT);
        Press(ui, PSBTN_BACK);
        CloseQuietly(ui);
    });
    const std::vector<std::string> expected = {
        "load 201 at 0", "active 201", // created, then activated: one exchange
        "next 201",      "kill 201",      "save 201 at 0", "load 202 at 1",
        "active 202",    "back 202",      "kill 202",      "save 202 at 1",
        "active 201",    "load 201 at 0", // a later activation refreshes the controls
    };
    ASSERT_GE(log_.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(log_.begin(), log_.begin() + expected.size()), expected);
    EXPECT_EQ(probe.attaches, 1) << "a bound control is not bound again";
    EXPECT_EQ(probe.Hwnd(), nullptr) << "the control lets go of its window when it is destroyed";
}

TEST_F(WizardFixture, BoundControlsGetTheirNotificationsAndPagesTheRest) {
    ProbeStatic probe;
    first_.bindTarget = &probe;
    RunSheet([&](UiDriver& ui) {
        ui.OnUi([&] {
            HWND page = first_.Hwnd();
            HWND bound = GetDlgItem(page, IDC_TEST_BOUND);
            ASSERT_EQ(probe.Hwnd(), bound);
            EXPECT_EQ(StaticControl::FromHandle(bound), &probe);
            HDC dc = CreateCompatibleDC(nullptr);
            EXPECT_EQ(SendMessageW(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(bound)),
                      reinterpret_cast<LRESULT>(probe.brush));
            // An unbound static gets the page's default answer, not the probe's brush.
            EXPECT_NE(SendMessageW(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_TEST_LABEL))),
                      reinterpret_cast<LRESULT>(probe.brush));
            DeleteDC(dc);
        });
        // Real clicks: the static reports STN_CLICKED, the button BN_CLICKED.
        HWND bound = ui.Query<HWND>([&] { return probe.Hwnd(); });
        HWND button = ui.Query<HWND>([&] { return GetDlgItem(first_.Hwnd(), IDC_TEST_BUTTON); });
        PostMessageW(bound, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(bound, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        PostMessageW(button, BM_CLICK, 0, 0);
        EXPECT_TRUE(UiDriver::WaitFor(
            [&] { return ui.Query<size_t>([&] { return first_.commands.size(); }) == 1; }));
        PumpIdle(ui);
        EXPECT_EQ(ui.Query<int>([&] { return probe.clicks; }), 1);
        EXPECT_EQ(ui.Query<std::vector<int>>([&] { return first_.commands; }),
                  std::vector<int>{IDC_TEST_BUTTON})
            << "the reflected click does not reach the page's command map";
        CloseQuietly(ui);
    });
}

TEST_F(WizardFixture, ButtonsCanBeEnabledAndRelabelled) {
    RunSheet([&](UiDriver& ui) {
        ui.OnUi([&] {
            for (int id :
                 {WizardSheet::kBackButton, WizardSheet::kNextButton, WizardSheet::kCancelButton})
                ASSERT_NE(sheet_.GetButton(id), nullptr) << id;
            sheet_.EnableButton(WizardSheet::kBackButton, false);
            EXPECT_FALSE(IsWindowEnabled(sheet_.GetButton(WizardSheet::kBackButton)));
            sheet_.EnableButton(WizardSheet::kBackButton, true);
            EXPECT_TRUE(IsWindowEnabled(sheet_.GetButton(WizardSheet::kBackButton)));
            sheet_.SetButtonText(WizardSheet::kNextButton, L"&Weiter >");
            EXPECT_EQ(TextOf(sheet_.GetButton(WizardSheet::kNextButton)), L"&Weiter >");
            // Set by the derived set-up after the platform's.
            EXPECT_EQ(TextOf(sheet_.GetButton(WizardSheet::kCancelButton)), L"&Beenden");
            EXPECT_TRUE(sheet_.firstPageUpDuringBase);
            EXPECT_EQ(TextOf(sheet_.Hwnd()), kTitle);
        });
        CloseQuietly(ui);
    });
}

TEST_F(WizardFixture, CancelAndEscapeReachTheSheetsCommandHandler) {
    RunSheet([&](UiDriver& ui) {
        HWND sheet = sheet_.Hwnd();
        PostMessageW(sheet_.GetButton(WizardSheet::kCancelButton), BM_CLICK, 0, 0);
        HWND box = ui.WaitForDialog(sheet);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), L"Quit?");
        UiDriver::Answer(box, IDNO);
        ASSERT_TRUE(UiDriver::WaitFor([&] { return !IsWindow(box); }));
        PumpIdle(ui);
        EXPECT_FALSE(ui.ModalEnded()) << "No keeps the wizard";
        EXPECT_EQ(ui.Query<int>([&] { return sheet_.cancelCommands; }), 1);

        // No focus when another program's window is active on the shared display:
        // the key then goes to the sheet itself, which the dialog manager accepts too.
        HWND focus = ui.Query<HWND>([] { return GetFocus(); });
        PostMessageW(focus ? focus : sheet, WM_KEYDOWN, VK_ESCAPE, 0);
        box = ui.WaitForDialog(sheet);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ui.Query<int>([&] { return sheet_.cancelCommands; }), 2);
        UiDriver::Answer(box, IDYES);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); })) << "Yes ends the wizard";
    });
}

TEST_F(WizardFixture, TheCloseBoxReachesTheSheetsSystemCommandHandler) {
    RunSheet([&](UiDriver& ui) {
        HWND sheet = sheet_.Hwnd();
        PostMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
        HWND box = ui.WaitForDialog(sheet);
        ASSERT_NE(box, nullptr);
        UiDriver::Answer(box, IDNO);
        ASSERT_TRUE(UiDriver::WaitFor([&] { return !IsWindow(box); }));
        PumpIdle(ui);
        EXPECT_FALSE(ui.ModalEnded());
        EXPECT_EQ(ui.Query<std::vector<WPARAM>>([&] { return sheet_.sysCommands; }),
                  std::vector<WPARAM>{SC_CLOSE});
        EXPECT_EQ(ui.Query<int>([&] { return sheet_.cancelCommands; }), 0)
            << "No swallows the close box before the platform turns it into Cancel";

        // Yes: the platform's processing closes the wizard.
        ui.OnUi([&] { sheet_.sysCommands.clear(); });
        PostMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
        box = ui.WaitForDialog(sheet);
        ASSERT_NE(box, nullptr);
        ui.OnUi([&] { sheet_.confirm = false; });
        UiDriver::Answer(box, IDYES);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }));
    });
}

class CountingApp : public App {
  public:
    int runs = 0;
    bool InitInstance() override {
        ++runs;
        return false;
    }
};

TEST(AppTest, StartUpRunsOnceAndEndsWithoutAMessageLoop) {
    CountingApp app;
    ASSERT_EQ(CurrentApp(), &app);
    // A quit message left in the queue would end a message loop at once;
    // without a loop it stays there.
    PostThreadMessageW(GetCurrentThreadId(), WM_APP + 7, 0, 0);
    EXPECT_EQ(RunApp(GetModuleHandleW(nullptr)), 0);
    EXPECT_EQ(app.runs, 1);
    EXPECT_EQ(app.Instance(), GetModuleHandleW(nullptr));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE))
        << "no message loop ran";
}

} // namespace
