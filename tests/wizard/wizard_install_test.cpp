// The wizard against the real world: the real installation driver run from
// the ready page, the finish actions starting the stand-in viewer, the
// application object's start-up, and the exit status of setup.exe.
#include "app/startup.h"
#include "app/the_app.h"
#include "engine/product.h"
#include "resources/resource.h"
#include "support/wide_print.h"
#include "wizard_fixture.h"

#include <string>

namespace {

constexpr const wchar_t* kUninstallKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellumbra64";

// The process that owns a window, and its program's path.
std::wstring ProgramOfWindow(HWND window, HANDLE* process) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    *process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
    if (!*process)
        return L"";
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    QueryFullProcessImageNameW(*process, 0, path, &size);
    return path;
}

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

TEST_F(WizardTest, TheReadyPageRunsTheRealInstallation) {
    SetInstallRunnerForTesting(nullptr);
    const std::wstring target = TestFolder() + L"Pellumbra Ziel";
    RunWizard([&](UiDriver& ui) {
        SetFolder(ui, target + L"  ");
        WalkTo(ui, kReady);
        Click(ui, IDC_INI_PROGRAM);
        Next(ui);
        ASSERT_EQ(Position(ui), kFinish) << "the installation succeeded";
        EXPECT_TRUE(NoBox(ui)) << "no association question without file types";
        Tick(ui, IDC_SHOW_FAQ, false);
        Tick(ui, IDC_START_VIEWER, false);
        ClickButton(ui, WizardSheet::kCancelButton);
    });
    EXPECT_TRUE(FileExists(target + L"\\p_lumb64.exe"));
    EXPECT_TRUE(FileExists(target + L"\\Plugins\\Icons.dll"));
    EXPECT_TRUE(FileExists(target + L"\\p_lumb64.ini")) << "settings in the install folder";
    EXPECT_EQ(FilesIn(FolderOf(ShellFolder::Desktop)).size(), 2u) << "viewer and thumbnails";
    EXPECT_TRUE(FolderExists(FolderOf(ShellFolder::Programs) + L"Pellumbra"));
    EXPECT_TRUE(FilesIn(FolderOf(ShellFolder::CommonDesktop)).empty()) << "current user only";
    EXPECT_TRUE(KeyExists(MachineKey(), kUninstallKey));
}

TEST_F(WizardTest, TheRealInstallationReportsAFolderThatCannotBeMade) {
    SetInstallRunnerForTesting(nullptr);
    // A file where a folder of the path should be.
    const std::wstring blocker = TestFolder() + L"Datei";
    ASSERT_TRUE(WriteFileBytes(blocker, "x"));
    RunWizard([&](UiDriver& ui) {
        SetFolder(ui, blocker + L"\\Pellumbra");
        WalkTo(ui, kReady);
        Next(ui);
        BoxInfo box = WaitForBox(ui);
        ASSERT_NE(box.Window, nullptr);
        EXPECT_EQ(Utf8(box.Text), Utf8(MessageText(IDS_CANNOT_CREATE)));
        EXPECT_EQ(Utf8(box.Caption), Utf8(kSetupCaption));
        EXPECT_EQ(box.Icon, IDI_ERROR);
        Buttons during = ButtonStates(ui);
        EXPECT_FALSE(during.Back || during.Next || during.Cancel)
            << "the buttons stay disabled while the driver reports";
        Answer(ui, box, IDOK);
        EXPECT_EQ(Position(ui), kWelcome);
        EXPECT_EQ(Utf8(Folder(ui)), Utf8(blocker + L"\\Pellumbra"));
        Buttons after = ButtonStates(ui);
        EXPECT_FALSE(after.Back);
        EXPECT_TRUE(after.Next && after.Cancel);
        PostMessageW(sheet_.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Answer(ui, WaitForBox(ui), IDYES);
    });
    EXPECT_FALSE(KeyExists(MachineKey(), kUninstallKey));
}

// The finish page's two actions: the FAQ page through the shell, and the
// viewer from the folder typed on the welcome page. (Which window has the
// focus on the shared test display is not the wizard's to decide, so the
// bringing to the front is not checked.)
TEST_F(WizardTest, LeavingTheFinishPageOpensTheFaqAndStartsTheViewer) {
    const std::wstring viewerFolder = TestFolder() + L"Bild \x00dc";
    ASSERT_TRUE(CreateDirectoryW(viewerFolder.c_str(), nullptr));
    const std::wstring viewer = viewerFolder + L"\\p_lumb64.exe";
    ASSERT_TRUE(CopyFileW(PEL_VIEWER_EXE, viewer.c_str(), FALSE));
    const std::wstring record = TestFolder() + L"faq.txt";
    const std::wstring recorder = PEL_RECORD_ARGS_EXE;
    SetEnvironmentVariableW(L"PEL_RECORD_FILE", record.c_str());
    SetFaqAddressForTesting(recorder.c_str());
    ASSERT_EQ(FindWindowW(kViewerWindowClass, nullptr), nullptr);

    DWORD leftAt = 0;
    RunWizard([&](UiDriver& ui) {
        SetFolder(ui, viewerFolder);
        WalkTo(ui, kReady);
        FinishInstallation(ui);
        leftAt = GetTickCount();
        ClickButton(ui, WizardSheet::kCancelButton);
        EXPECT_TRUE(NoBox(ui));
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }, 4000));
    });
    SetEnvironmentVariableW(L"PEL_RECORD_FILE", nullptr);

    HWND window = FindWindowW(kViewerWindowClass, nullptr);
    ASSERT_NE(window, nullptr) << "the wizard waited for the viewer's window";
    EXPECT_LT(GetTickCount() - leftAt, 2600u);
    HANDLE process = nullptr;
    std::wstring program = ProgramOfWindow(window, &process);
    EXPECT_EQ(lstrcmpiW(program.c_str(), viewer.c_str()), 0) << Utf8(program);
    std::string calls;
    EXPECT_TRUE(ReadFileBytes(viewerFolder + L"\\p_lumb64_calls.txt", &calls));
    EXPECT_EQ(CountLines(calls), 1) << calls;

    EXPECT_TRUE(UiDriver::WaitFor([&] { return FileExists(record); }, 5000));
    std::string faq;
    ReadFileBytes(record, &faq);
    EXPECT_EQ(CountLines(faq), 1) << "the FAQ page was opened once";

    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
}

// The application object as setup.exe runs it: the heading font, the five
// pages on their templates, and exit status 0 when the wizard is left.
TEST(TheAppTest, StartUpRunsTheWizardAndEndsWithStatusZero) {
    TheApp app;
    ASSERT_EQ(CurrentApp(), &app);
    int status = -1;
    UiDriver::Run(
        [&] { status = RunApp(GetModuleHandleW(nullptr)); },
        [&](UiDriver& ui) {
            ASSERT_TRUE(UiDriver::WaitFor([&] {
                return ui.Query<bool>(
                    [&] { return SetupSheet.Hwnd() && IsWindowVisible(SetupSheet.Hwnd()); });
            }));
            ui.OnUi([&] {
                EXPECT_EQ(app.MainSheet(), &SetupSheet);
                ASSERT_EQ(SetupSheet.GetPageCount(), 5);
                const unsigned templates[] = {101, 108, 104, 109, 110};
                for (int i = 0; i < 5; ++i) {
                    auto* page = dynamic_cast<CWizPropertyPage*>(SetupSheet.GetPage(i));
                    ASSERT_NE(page, nullptr);
                    EXPECT_EQ(page->TemplateId(), templates[i]);
                    EXPECT_EQ(page->Sheet, &SetupSheet);
                    EXPECT_EQ(page->InFlow, 1);
                }
                EXPECT_EQ(SetupSheet.FileTypeList, nullptr);
                LOGFONTW font = {};
                ASSERT_TRUE(GetObjectW(SetupSheet.HeaderFont.get(), sizeof font, &font));
                EXPECT_EQ(font.lfHeight, MulDiv(18, ScreenDpi(), 96));
                EXPECT_EQ(font.lfWeight, 700);
                EXPECT_EQ(font.lfQuality, ANTIALIASED_QUALITY);
                EXPECT_EQ(font.lfCharSet, 0);
                EXPECT_EQ(font.lfWidth, 0);
                EXPECT_EQ(font.lfItalic, 0);
                EXPECT_STREQ(font.lfFaceName, L"Arial");
                HWND heading = GetDlgItem(SetupSheet.PageWindow(0), IDC_WELCOME_HEADING);
                EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(heading, WM_GETFONT, 0, 0)),
                          SetupSheet.HeaderFont.get());
            });
            HWND sheet = ui.Query<HWND>([&] { return SetupSheet.Hwnd(); });
            PostMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
            HWND box = ui.WaitForDialog(sheet);
            ASSERT_NE(box, nullptr);
            UiDriver::Answer(box, IDYES);
            EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }));
        });
    EXPECT_EQ(status, kExitSuccess);
    EXPECT_EQ(app.MainSheet(), nullptr);
    EXPECT_EQ(SetupSheet.GetPageCount(), 0) << "the destroyed pages are not kept";
}

// setup.exe in silent mode passes its outcome on as the process exit status.
class SetupExitStatus : public WizardTest {
  protected:
    DWORD RunSetup(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + std::wstring(PEL_SETUP_EXE) + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            TestFolder().c_str(), &startup, &info)) {
            ADD_FAILURE() << "cannot start setup.exe";
            return 0xFFFFFFFF;
        }
        WaitForSingleObject(info.hProcess, 30000);
        DWORD code = 0xFFFFFFFF;
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        return code;
    }
};

TEST_F(SetupExitStatus, SilentModeReportsARunningViewerAndAFailure) {
    CreateFakeViewer();
    EXPECT_EQ(RunSetup(L"/silent"), static_cast<DWORD>(kExitViewerRunning));
    DestroyFakeViewer();
    std::string log;
    EXPECT_TRUE(ReadFileBytes(TestFolder() + L"Pellumbra_Install.log", &log));
    EXPECT_NE(log.find("Warnung: Pellumbra"), std::string::npos) << log;

    const std::wstring blocker = TestFolder() + L"Datei";
    ASSERT_TRUE(WriteFileBytes(blocker, "x"));
    EXPECT_EQ(RunSetup(L"/silent /folder=\"" + blocker + L"\\Pellumbra\""),
              static_cast<DWORD>(kExitInstallFailed));
}

} // namespace
