// The page flow and the wizard buttons: Next and Back at every position, the
// welcome page's folder check, the quit question from Cancel, Escape and the
// close box, a failed installation, and the finish page.
#include "engine/product.h"
#include "resources/resource.h"
#include "support/wide_print.h"
#include "wizard_fixture.h"

#include <prsht.h>

#include <algorithm>

namespace {

const std::wstring kBackText = L"< &Zur\x00fc"
                               L"ck";
const std::wstring kNextText = L"&Weiter >";
const std::wstring kExitText = L"&Beenden";
const std::wstring kFinishText = L"&Fertig stellen";

// The states of the flow table: (Back, Next, Cancel) enabled, Cancel's caption.
void ExpectButtons(const WizardTest::Buttons& b, bool back, bool next, bool cancel,
                   const std::wstring& cancelText, const char* where) {
    EXPECT_EQ(b.Back, back) << where;
    EXPECT_EQ(b.Next, next) << where;
    EXPECT_EQ(b.Cancel, cancel) << where;
    EXPECT_EQ(Utf8(b.CancelText), Utf8(cancelText)) << where;
    EXPECT_EQ(Utf8(b.BackText), Utf8(kBackText)) << where;
    EXPECT_EQ(Utf8(b.NextText), Utf8(kNextText)) << where;
}

TEST_F(WizardTest, NextAndBackWalkEveryPageWithTheButtonsOfTheFlowTable) {
    RunWizard([&](UiDriver& ui) {
        const std::wstring title = kSetupCaption;
        EXPECT_EQ(Position(ui), kWelcome);
        ExpectButtons(ButtonStates(ui), false, true, true, kExitText, "welcome activated");
        EXPECT_EQ(Utf8(Text(ui, sheet_.Hwnd())), Utf8(title));

        const char* names[] = {"welcome", "what's new", "file types", "ready"};
        for (int position = kWhatsNew; position <= kReady; ++position) {
            Next(ui);
            ASSERT_EQ(Position(ui), position);
            ExpectButtons(ButtonStates(ui), true, true, true, kExitText, names[position]);
            EXPECT_EQ(Utf8(Text(ui, sheet_.Hwnd())), Utf8(title)) << names[position];
        }
        for (int position = kFileTypes; position >= kWelcome; --position) {
            Back(ui);
            ASSERT_EQ(Position(ui), position);
        }
        ExpectButtons(ButtonStates(ui), false, true, true, kExitText, "welcome again");

        WalkTo(ui, kReady);
        FinishInstallation(ui);
        ExpectButtons(ButtonStates(ui), false, false, true, kFinishText, "finish activated");
        EXPECT_EQ(Utf8(Text(ui, sheet_.Hwnd())), Utf8(title)) << "finish";
        ASSERT_EQ(calls_.size(), 1u);
        EXPECT_FALSE(calls_[0].BackEnabled || calls_[0].NextEnabled || calls_[0].CancelEnabled)
            << "the three buttons are disabled while the installation runs";
        EXPECT_TRUE(calls_[0].BusyVisible);
        EXPECT_EQ(calls_[0].Position, kReady);

        // Both boxes unticked: the relabelled Cancel closes the wizard at once.
        Tick(ui, IDC_SHOW_FAQ, false);
        Tick(ui, IDC_START_VIEWER, false);
        ClickButton(ui, WizardSheet::kCancelButton);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }, 2000))
            << "no question on the finish page";
    });
}

TEST_F(WizardTest, AnInvalidFolderStaysOnTheWelcomePageWithBackEnabled) {
    RunWizard([&](UiDriver& ui) {
        const wchar_t* invalid[] = {L"", L"Programme\\Pellumbra", L"\\\\server\\share\\Pellumbra",
                                    L" C:\\Pellumbra"};
        for (const wchar_t* folder : invalid) {
            SetFolder(ui, folder);
            Next(ui);
            BoxInfo box = WaitForBox(ui);
            ASSERT_NE(box.Window, nullptr) << Utf8(folder);
            EXPECT_EQ(Utf8(box.Text), Utf8(MessageText(IDS_INVALID_FOLDER)));
            EXPECT_EQ(Utf8(box.Caption), Utf8(kSetupCaption));
            EXPECT_EQ(box.Icon, IDI_ERROR);
            EXPECT_TRUE(box.HasOk);
            Answer(ui, box, IDOK);
            EXPECT_EQ(Position(ui), kWelcome);
            EXPECT_EQ(Utf8(Folder(ui)), Utf8(folder)) << "the text stays as typed";
            EXPECT_TRUE(ButtonStates(ui).Back) << "Back was enabled before the check";
        }
        // Back finds no earlier page: the wizard stays.
        Back(ui);
        EXPECT_EQ(Position(ui), kWelcome);
        EXPECT_TRUE(NoBox(ui));

        SetFolder(ui, L"C:");
        Next(ui);
        EXPECT_EQ(Position(ui), kWhatsNew);
        EXPECT_TRUE(NoBox(ui));
        Back(ui);
        EXPECT_FALSE(ButtonStates(ui).Back);
        PostMessageW(sheet_.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Answer(ui, WaitForBox(ui), IDYES);
    });
    EXPECT_TRUE(calls_.empty());
}

// Every way of quitting early asks, on every page before the finish page; No
// keeps the page with everything on it.
TEST_F(WizardTest, QuittingEarlyAsksAndNoKeepsThePage) {
    RunWizard([&](UiDriver& ui) {
        SetFolder(ui, L"D:\\Bilder\\Pellumbra");
        Tick(ui, IDC_THUMBS_LINK, false);
        enum Way { CancelButton, EscapeKey, CloseBox };
        for (int position = kWelcome; position <= kReady; ++position) {
            WalkTo(ui, position);
            for (Way way : {CancelButton, EscapeKey, CloseBox}) {
                switch (way) {
                case CancelButton:
                    PostMessageW(sheet_.GetButton(WizardSheet::kCancelButton), BM_CLICK, 0, 0);
                    break;
                case EscapeKey: {
                    HWND focus = ui.Query<HWND>([] { return GetFocus(); });
                    PostMessageW(focus ? focus : sheet_.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
                    break;
                }
                case CloseBox:
                    PostMessageW(sheet_.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
                    break;
                }
                BoxInfo box = WaitForBox(ui);
                ASSERT_NE(box.Window, nullptr) << "position " << position << " way " << way;
                EXPECT_EQ(Utf8(box.Text), "Installation beenden?");
                EXPECT_EQ(Utf8(box.Caption), Utf8(kSetupCaption));
                EXPECT_TRUE(box.HasYesNo);
                EXPECT_EQ(box.DefaultButton, IDNO);
                EXPECT_EQ(box.Icon, IDI_QUESTION);
                Answer(ui, box, IDNO);
                EXPECT_FALSE(ui.ModalEnded());
                EXPECT_TRUE(NoBox(ui)) << "one question only, position " << position;
                EXPECT_EQ(Position(ui), position);
            }
        }
        EXPECT_EQ(Utf8(Folder(ui)), "D:\\Bilder\\Pellumbra");
        EXPECT_FALSE(Ticked(ui, kWelcome, IDC_THUMBS_LINK));
        EXPECT_TRUE(Ticked(ui, kWelcome, IDC_DESKTOP_LINK));
        ClickButton(ui, WizardSheet::kCancelButton);
        Answer(ui, WaitForBox(ui), IDYES);
    });
    EXPECT_TRUE(calls_.empty()) << "quitting installs nothing";
}

class WizardQuitWay : public WizardTest, public ::testing::WithParamInterface<int> {};

// Yes ends the wizard after one question, whichever way it was asked.
TEST_P(WizardQuitWay, YesEndsTheWizardAfterOneQuestion) {
    RunWizard([&](UiDriver& ui) {
        WalkTo(ui, kFileTypes);
        switch (GetParam()) {
        case 0:
            PostMessageW(sheet_.GetButton(WizardSheet::kCancelButton), BM_CLICK, 0, 0);
            break;
        case 1: {
            HWND focus = ui.Query<HWND>([] { return GetFocus(); });
            PostMessageW(focus ? focus : sheet_.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        }
        default:
            PostMessageW(sheet_.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        BoxInfo box = WaitForBox(ui);
        ASSERT_NE(box.Window, nullptr);
        UiDriver::Answer(box.Window, IDYES);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }, 3000))
            << "a second question would keep the wizard open";
    });
    EXPECT_TRUE(calls_.empty());
}

INSTANTIATE_TEST_SUITE_P(CancelEscapeCloseBox, WizardQuitWay, ::testing::Values(0, 1, 2));

TEST_F(WizardTest, AFailedInstallationReturnsToTheWelcomePageWithEverythingKept) {
    RunWizard([&](UiDriver& ui) {
        SetFolder(ui, L"Q:\\Nirgends\\Pellumbra");
        Tick(ui, IDC_GROUP, false);
        Click(ui, IDC_ALL_USERS);
        WalkTo(ui, kFileTypes);
        Tick(ui, IDC_WRITE_ASSOC, true);
        Click(ui, IDC_IMAGES_ONLY);
        WalkTo(ui, kReady);
        Click(ui, IDC_INI_PROGRAM);

        installResult_ = 0;
        Next(ui);
        ASSERT_EQ(calls_.size(), 1u);
        EXPECT_EQ(Position(ui), kWelcome) << "straight back, skipping the pages between";
        Buttons b = ButtonStates(ui);
        EXPECT_FALSE(b.Back);
        EXPECT_TRUE(b.Next);
        EXPECT_TRUE(b.Cancel);
        EXPECT_EQ(Utf8(b.CancelText), Utf8(kExitText));
        EXPECT_EQ(Utf8(Folder(ui)), "Q:\\Nirgends\\Pellumbra");
        EXPECT_FALSE(Ticked(ui, kWelcome, IDC_GROUP));
        EXPECT_TRUE(Ticked(ui, kWelcome, IDC_DESKTOP_LINK));
        EXPECT_TRUE(Ticked(ui, kWelcome, IDC_ALL_USERS));

        WalkTo(ui, kFileTypes);
        EXPECT_TRUE(Ticked(ui, kFileTypes, IDC_WRITE_ASSOC));
        std::vector<unsigned> states = RowStates(ui);
        ASSERT_EQ(states.size(), 63u);
        EXPECT_EQ(states[0], 2u);
        EXPECT_EQ(states[49], 1u);
        WalkTo(ui, kReady);
        EXPECT_TRUE(Ticked(ui, kReady, IDC_INI_APPDATA)) << "the radios are set afresh";
        EXPECT_TRUE(Visible(ui, Control(ui, kReady, IDC_BUSY))) << "the busy line stays shown";

        // A second attempt runs the whole installation again.
        FinishInstallation(ui);
        ASSERT_EQ(calls_.size(), 2u);
        EXPECT_EQ(calls_[0].Request.AnyAssociation, 1);
        EXPECT_EQ(calls_[1].Request.AnyAssociation, 1);
        EXPECT_EQ(Utf8(calls_[0].Request.IniFolder), "");
        EXPECT_EQ(Utf8(calls_[1].Request.IniFolder), "%APPDATA%\\Pellumbra");
        Tick(ui, IDC_SHOW_FAQ, false);
        Tick(ui, IDC_START_VIEWER, false);
        ClickButton(ui, WizardSheet::kCancelButton);
    });
}

TEST_F(WizardTest, ARunningViewerIsReportedOnTheWelcomePageAndBlocksTheInstallation) {
    CreateFakeViewer();
    RunWizard(
        [&](UiDriver& ui) {
            BoxInfo box = WaitForBox(ui);
            ASSERT_NE(box.Window, nullptr);
            EXPECT_EQ(Utf8(box.Text), Utf8(MessageText(IDS_VIEWER_RUNNING)));
            EXPECT_EQ(Utf8(box.Caption), Utf8(kSetupCaption));
            EXPECT_EQ(box.Icon, IDI_WARNING);
            Answer(ui, box, IDOK);
            ASSERT_TRUE(UiDriver::WaitFor([&] { return Visible(ui, sheet_.Hwnd()); }));
            EXPECT_EQ(Position(ui), kWelcome);

            // Every activation of the welcome page warns again.
            Next(ui);
            EXPECT_TRUE(NoBox(ui));
            Back(ui);
            box = WaitForBox(ui);
            ASSERT_NE(box.Window, nullptr) << "warning on the second activation";
            EXPECT_EQ(Utf8(box.Text), Utf8(MessageText(IDS_VIEWER_RUNNING)));
            Answer(ui, box, IDOK);

            WalkTo(ui, kReady);
            Next(ui);
            box = WaitForBox(ui);
            ASSERT_NE(box.Window, nullptr) << "the ready page blocks the installation";
            EXPECT_EQ(Utf8(box.Text), Utf8(MessageText(IDS_VIEWER_RUNNING)));
            EXPECT_EQ(box.Icon, IDI_WARNING);
            Answer(ui, box, IDOK);
            EXPECT_EQ(Position(ui), kReady);
            EXPECT_TRUE(calls_.empty());
            Buttons b = ButtonStates(ui);
            EXPECT_TRUE(b.Back && b.Next && b.Cancel);

            ui.OnUi([&] { DestroyFakeViewer(); });
            FinishInstallation(ui);
            EXPECT_EQ(calls_.size(), 1u);
            Tick(ui, IDC_SHOW_FAQ, false);
            Tick(ui, IDC_START_VIEWER, false);
            ClickButton(ui, WizardSheet::kCancelButton);
        },
        true);
}

TEST_F(WizardTest, TheFinishPageTicksBothBoxesAndEscapeRunsTheFinishActions) {
    const std::wstring record = TestFolder() + L"faq.txt";
    const std::wstring recorder = PEL_RECORD_ARGS_EXE;
    SetEnvironmentVariableW(L"PEL_RECORD_FILE", record.c_str());
    SetFaqAddressForTesting(recorder.c_str());
    RunWizard([&](UiDriver& ui) {
        WalkTo(ui, kReady);
        FinishInstallation(ui);
        EXPECT_TRUE(Ticked(ui, kFinish, IDC_SHOW_FAQ));
        EXPECT_TRUE(Ticked(ui, kFinish, IDC_START_VIEWER));
        HWND heading = Control(ui, kFinish, IDC_FINISH_HEADING);
        EXPECT_EQ(ui.Query<HFONT>([&] {
            return reinterpret_cast<HFONT>(SendMessageW(heading, WM_GETFONT, 0, 0));
        }),
                  sheet_.HeaderFont.get());
        Tick(ui, IDC_START_VIEWER, false);
        HWND focus = ui.Query<HWND>([] { return GetFocus(); });
        PostMessageW(focus ? focus : sheet_.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }, 3000));
    });
    SetEnvironmentVariableW(L"PEL_RECORD_FILE", nullptr);
    // The FAQ box alone: the page is opened, no viewer is looked for.
    EXPECT_TRUE(UiDriver::WaitFor([&] { return FileExists(record); }, 5000));
    std::string lines;
    ReadFileBytes(record, &lines);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
}

TEST_F(WizardTest, TheCloseBoxOnTheFinishPageAsksNothing) {
    RunWizard([&](UiDriver& ui) {
        WalkTo(ui, kReady);
        FinishInstallation(ui);
        Tick(ui, IDC_SHOW_FAQ, false);
        Tick(ui, IDC_START_VIEWER, false);
        PostMessageW(sheet_.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }, 3000));
    });
}

} // namespace
