#include "wizard_fixture.h"

#include "engine/messages.h"
#include "engine/product.h"
#include "resources/resource.h"
#include "shell/os_version.h"

#include <commctrl.h>

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi;
}

std::vector<InstallCall> WizardTest::calls_;
int WizardTest::installResult_ = 1;
WizardTest* WizardTest::current_ = nullptr;

namespace {

constexpr UINT kMark = WM_APP + 21;
constexpr wchar_t kMarkerClass[] = L"PelWizardTestMarker";
std::atomic<long> g_marks{0};

LRESULT CALLBACK MarkerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kMark) {
        ++g_marks;
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK FakeViewerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, msg, wParam, lParam);
}

// The button that Enter presses: the one with the default push-button style.
BOOL CALLBACK FindDefaultButton(HWND child, LPARAM lParam) {
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    if (lstrcmpiW(cls, L"Button") == 0 &&
        (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        *reinterpret_cast<int*>(lParam) = GetDlgCtrlID(child);
        return FALSE;
    }
    return TRUE;
}

struct IconSearch {
    HICON icon;
};

BOOL CALLBACK FindIconChild(HWND child, LPARAM lParam) {
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    if (lstrcmpiW(cls, L"Static") == 0 &&
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        reinterpret_cast<IconSearch*>(lParam)->icon =
            reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::wstring MessageText(unsigned id) {
    wchar_t text[1024];
    LoadMessage(id, text, 1024);
    return text;
}

void WizardTest::SetUp() {
    ShellFolderFixture::SetUp();
    if (HasFatalFailure())
        return;
    folder_.reset(new FolderHelper);
    folder_->SetUp();
    if (HasFatalFailure())
        return;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = MarkerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kMarkerClass;
    RegisterClassW(&wc);
    marker_ = CreateWindowExW(0, kMarkerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(marker_, nullptr);

    // The heading font as the application builds it.
    LOGFONTW font = {};
    font.lfHeight = MulDiv(18, ScreenDpi(), 96);
    font.lfWeight = FW_BOLD;
    font.lfQuality = ANTIALIASED_QUALITY;
    lstrcpyW(font.lfFaceName, L"Arial");
    sheet_.HeaderFont.reset(CreateFontIndirectW(&font));

    const unsigned templates[] = {IDD_WELCOME, IDD_WHATSNEW, IDD_FILETYPES, IDD_READY, IDD_FINISH};
    for (int i = 0; i < 5; ++i) {
        pages_[i].reset(new CWizPropertyPage(templates[i]));
        ASSERT_TRUE(sheet_.AddPage(pages_[i].get()));
        pages_[i]->Sheet = &sheet_;
    }
    calls_.clear();
    installResult_ = 1;
    current_ = this;
    SetInstallRunnerForTesting(RecordInstallation);
}

void WizardTest::TearDown() {
    SetInstallRunnerForTesting(nullptr);
    SetFaqAddressForTesting(nullptr);
    SetOsVersionClassForTesting(0);
    current_ = nullptr;
    DestroyFakeViewer();
    if (marker_)
        DestroyWindow(marker_);
    if (folder_)
        folder_->TearDown();
    ShellFolderFixture::TearDown();
}

int WizardTest::RecordInstallation(InstallRequest& request) {
    WizardTest* self = current_;
    InstallCall call = {};
    call.Request = request;
    if (self) {
        CWizPropertySheet& sheet = self->sheet_;
        call.BackEnabled = IsWindowEnabled(sheet.GetButton(WizardSheet::kBackButton)) != FALSE;
        call.NextEnabled = IsWindowEnabled(sheet.GetButton(WizardSheet::kNextButton)) != FALSE;
        call.CancelEnabled = IsWindowEnabled(sheet.GetButton(WizardSheet::kCancelButton)) != FALSE;
        call.BusyVisible = IsWindowVisible(GetDlgItem(sheet.PageWindow(kReady), IDC_BUSY)) != FALSE;
        call.Position = sheet.GetActiveIndex();
    }
    calls_.push_back(call);
    return installResult_;
}

void WizardTest::RunWizard(const std::function<void(UiDriver&)>& steps, bool boxFirst) {
    UiDriver::Run([&] { sheet_.DoModal(); },
                  [&](UiDriver& ui) {
                      bool up = UiDriver::WaitFor([&] {
                          HWND sheet = ui.Query<HWND>([&] { return sheet_.Hwnd(); });
                          if (boxFirst)
                              return ui.FindDialog(sheet) != nullptr;
                          return ui.Query<bool>([&] {
                              return sheet_.Hwnd() && IsWindowVisible(sheet_.Hwnd()) &&
                                     pages_[0]->Hwnd();
                          });
                      });
                      ASSERT_TRUE(up) << "the wizard did not come up";
                      steps(ui);
                  });
}

HWND WizardTest::Page(UiDriver& ui, int position) {
    return ui.Query<HWND>([&] { return sheet_.PageWindow(position); });
}

HWND WizardTest::Control(UiDriver& ui, int position, int id) {
    return ui.Query<HWND>([&] { return GetDlgItem(sheet_.PageWindow(position), id); });
}

int WizardTest::Position(UiDriver& ui) {
    return ui.Query<int>([&] { return sheet_.GetActiveIndex(); });
}

// Posted messages are handled in order: once a marker posted after them has
// been seen, so have they; a second and third round catch what they posted.
void WizardTest::Settle(UiDriver& ui) {
    (void)ui;
    for (int round = 0; round < 3; ++round) {
        long before = g_marks.load();
        PostMessageW(marker_, kMark, 0, 0);
        if (!UiDriver::WaitFor([&] { return g_marks.load() > before; }, 8000)) {
            ADD_FAILURE() << "the user-interface thread did not settle";
            return;
        }
    }
}

void WizardTest::ClickButton(UiDriver& ui, int buttonId) {
    HWND button = ui.Query<HWND>([&] { return sheet_.GetButton(buttonId); });
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(Enabled(ui, button) && Visible(ui, button)) << "button " << buttonId;
    PostMessageW(button, BM_CLICK, 0, 0);
    Settle(ui);
}

void WizardTest::Click(UiDriver& ui, int id) {
    HWND control = Control(ui, Position(ui), id);
    ASSERT_NE(control, nullptr) << id;
    ASSERT_TRUE(Enabled(ui, control) && Visible(ui, control)) << "control " << id;
    PostMessageW(control, BM_CLICK, 0, 0);
    Settle(ui);
}

void WizardTest::Tick(UiDriver& ui, int id, bool ticked) {
    if (Ticked(ui, Position(ui), id) != ticked)
        Click(ui, id);
    EXPECT_EQ(Ticked(ui, Position(ui), id), ticked) << id;
}

bool WizardTest::Ticked(UiDriver& ui, int position, int id) {
    return ui.Query<bool>(
        [&] { return IsDlgButtonChecked(sheet_.PageWindow(position), id) == BST_CHECKED; });
}

bool WizardTest::Enabled(UiDriver& ui, HWND window) {
    return ui.Query<bool>([&] { return IsWindowEnabled(window) != FALSE; });
}

bool WizardTest::Visible(UiDriver& ui, HWND window) {
    return ui.Query<bool>([&] { return IsWindowVisible(window) != FALSE; });
}

std::wstring WizardTest::Text(UiDriver& ui, HWND window) {
    return ui.Query<std::wstring>([&] { return WindowText(window); });
}

void WizardTest::SetFolder(UiDriver& ui, const std::wstring& text) {
    ui.OnUi([&] { SetDlgItemTextW(sheet_.PageWindow(kWelcome), IDC_FOLDER, text.c_str()); });
}

std::wstring WizardTest::Folder(UiDriver& ui) {
    return Text(ui, Control(ui, kWelcome, IDC_FOLDER));
}

WizardTest::Buttons WizardTest::ButtonStates(UiDriver& ui) {
    return ui.Query<Buttons>([&] {
        Buttons b;
        HWND back = sheet_.GetButton(WizardSheet::kBackButton);
        HWND next = sheet_.GetButton(WizardSheet::kNextButton);
        HWND cancel = sheet_.GetButton(WizardSheet::kCancelButton);
        b.Back = IsWindowEnabled(back) != FALSE;
        b.Next = IsWindowEnabled(next) != FALSE;
        b.Cancel = IsWindowEnabled(cancel) != FALSE;
        b.BackText = WindowText(back);
        b.NextText = WindowText(next);
        b.CancelText = WindowText(cancel);
        return b;
    });
}

BoxInfo WizardTest::WaitForBox(UiDriver& ui, int timeoutMs) {
    BoxInfo info;
    HWND sheet = ui.Query<HWND>([&] { return sheet_.Hwnd(); });
    HWND box = ui.WaitForDialog(sheet, timeoutMs);
    if (!box)
        return info;
    return ui.Query<BoxInfo>([&] {
        BoxInfo b;
        b.Window = box;
        b.Caption = WindowText(box);
        b.Text = WindowText(GetDlgItem(box, 0xFFFF));
        EnumChildWindows(box, FindDefaultButton, reinterpret_cast<LPARAM>(&b.DefaultButton));
        b.HasYesNo = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO);
        b.HasOk = GetDlgItem(box, IDOK) != nullptr;
        IconSearch search = {nullptr};
        EnumChildWindows(box, FindIconChild, reinterpret_cast<LPARAM>(&search));
        const wchar_t* known[] = {IDI_WARNING, IDI_ERROR, IDI_QUESTION, IDI_INFORMATION};
        for (const wchar_t* id : known)
            if (search.icon && search.icon == LoadIconW(nullptr, id))
                b.Icon = id;
        return b;
    });
}

void WizardTest::Answer(UiDriver& ui, const BoxInfo& box, int buttonId) {
    ASSERT_NE(box.Window, nullptr);
    UiDriver::Answer(box.Window, buttonId);
    EXPECT_TRUE(UiDriver::WaitFor([&] { return !IsWindow(box.Window); }));
    if (!ui.ModalEnded())
        Settle(ui);
}

bool WizardTest::NoBox(UiDriver& ui) {
    HWND sheet = ui.Query<HWND>([&] { return sheet_.Hwnd(); });
    return ui.FindDialog(sheet) == nullptr;
}

void WizardTest::WalkTo(UiDriver& ui, int position) {
    while (Position(ui) < position) {
        int before = Position(ui);
        Next(ui);
        ASSERT_EQ(Position(ui), before + 1) << "Next on position " << before;
    }
}

void WizardTest::FinishInstallation(UiDriver& ui) {
    ASSERT_EQ(Position(ui), kReady);
    installResult_ = 1;
    Next(ui);
    ASSERT_EQ(Position(ui), kFinish);
}

std::vector<unsigned> WizardTest::RowStates(UiDriver& ui) {
    return ui.Query<std::vector<unsigned>>([&] {
        std::vector<unsigned> states;
        HWND list = GetDlgItem(sheet_.PageWindow(kFileTypes), IDC_FILETYPE_LIST);
        int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            states.push_back(static_cast<unsigned>(
                                 SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK)) >>
                             12);
        return states;
    });
}

void WizardTest::SetRowState(UiDriver& ui, int row, unsigned stateImage) {
    ui.OnUi([&] {
        HWND list = GetDlgItem(sheet_.PageWindow(kFileTypes), IDC_FILETYPE_LIST);
        LVITEMW item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(stateImage);
        SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    });
}

void WizardTest::CreateFakeViewer() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FakeViewerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kViewerWindowClass;
    RegisterClassW(&wc);
    fakeViewer_ = CreateWindowExW(0, kViewerWindowClass, L"Pellumbra", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(fakeViewer_, nullptr);
}

void WizardTest::DestroyFakeViewer() {
    if (fakeViewer_)
        DestroyWindow(fakeViewer_);
    fakeViewer_ = nullptr;
}
