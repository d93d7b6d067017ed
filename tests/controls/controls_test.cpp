// The hyperlink and the colour static on a real page of a wizard sheet, run
// modally and driven from a second thread; links open a stand-in program.
#include "../framework/ui_driver.h"
#include "controls/colour_static.h"
#include "controls/hyperlink.h"
#include "framework/wizard_page.h"
#include "framework/wizard_sheet.h"
#include "support/registry_fixture.h"
#include "support/wide_print.h"
#include "test_controls.h"

#include <gtest/gtest.h>

#include <prsht.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

LOGFONTW FontRecord(HFONT font) {
    LOGFONTW record = {};
    if (font)
        GetObjectW(font, sizeof(record), &record);
    return record;
}

LOGFONTW FontOfWindow(HWND window) {
    return FontRecord(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
}

HFONT FontHandleOf(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

RECT RectInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// What the page answers when the control asks for its colours.
struct ColourAnswer {
    COLORREF text;
    int backgroundMode;
    HBRUSH brush;
};

ColourAnswer AskColours(HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    LRESULT brush = SendMessageW(GetParent(control), WM_CTLCOLORSTATIC,
                                 reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    ColourAnswer answer = {GetTextColor(dc), GetBkMode(dc), reinterpret_cast<HBRUSH>(brush)};
    DeleteDC(dc);
    return answer;
}

// The stand-in program next to the test executable.
std::wstring RecorderPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text = path;
    return text.substr(0, text.find_last_of(L'\\') + 1) + L"record_args.exe";
}

// A fresh file that the stand-in program writes its command lines into.
class Recording {
  public:
    Recording() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"pel-record-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter_) + L".txt";
        DeleteFileW(path_.c_str());
        SetEnvironmentVariableW(L"PEL_RECORD_FILE", path_.c_str());
    }
    ~Recording() {
        SetEnvironmentVariableW(L"PEL_RECORD_FILE", nullptr);
        DeleteFileW(path_.c_str());
    }
    std::string Contents() const {
        std::string text;
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return text;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
            text.append(buffer, got);
        CloseHandle(file);
        return text;
    }
    // The recorded lines once `lines` of them are there (or what there is after the timeout).
    std::string WaitForLines(size_t lines) const {
        UiDriver::WaitFor(
            [&] {
                std::string text = Contents();
                return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= lines;
            },
            15000);
        return Contents();
    }

  private:
    std::wstring path_;
    static int counter_;
};
int Recording::counter_ = 0;

// A sheet with the controls page (and a page whose dialog has no font),
// brought up for the steps and closed after them.
class ControlsHost {
  public:
    ControlsHost() {
        sheet.AddPage(&page);
        sheet.AddPage(&noFontPage);
    }

    void Run(const std::function<void(UiDriver&)>& steps) {
        UiDriver::Run([&] { sheet.DoModal(); },
                      [&](UiDriver& ui) {
                          ASSERT_TRUE(UiDriver::WaitFor([&] {
                              return ui.Query<bool>([&] {
                                  return sheet.Hwnd() && page.Hwnd() &&
                                         IsWindowVisible(page.Hwnd());
                              });
                          }));
                          steps(ui);
                          PostMessageW(sheet.Hwnd(), WM_COMMAND, IDCANCEL, 0);
                          EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }));
                      });
    }

    // Binds a dialog item of the controls page, as a page's data exchange does.
    bool Bind(UiDriver& ui, int id, StaticControl& control, WizardPage* on = nullptr) {
        WizardPage* target = on ? on : &page;
        return ui.Query<bool>([&] {
            DataExchange dx(target->Hwnd(), false);
            return dx.BindControl(id, control);
        });
    }

    HWND Item(UiDriver& ui, int id) {
        return ui.Query<HWND>([&] { return GetDlgItem(page.Hwnd(), id); });
    }

    WizardSheet sheet{L"Controls"};
    WizardPage page{IDD_CONTROLS};
    WizardPage noFontPage{IDD_NO_FONT};
};

// Moves the mouse to a screen point and lets the user-interface thread see it.
void MoveMouse(UiDriver& ui, POINT point) {
    SetCursorPos(point.x, point.y);
    Sleep(20);
    ui.OnUi([] {});
}

POINT CentreOnScreen(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT OutsideOf(HWND window) {
    RECT rect;
    GetWindowRect(GetAncestor(window, GA_ROOT), &rect);
    return {rect.right + 40, rect.bottom + 40};
}

TEST(HyperLink, StartsWithTheLinkColoursAndHoverModeAndNoWindow) {
    CHyperLink link;
    EXPECT_EQ(link.NormalColour, RGB(0, 0, 238));
    EXPECT_EQ(link.VisitedColour, RGB(85, 26, 139));
    EXPECT_EQ(link.HoverColour, RGB(255, 0, 0));
    EXPECT_EQ(link.UnderlineMode, CHyperLink::UnderlineOnHover);
    EXPECT_EQ(link.HoverTimerId, 100u);
    EXPECT_EQ(link.SizeToText, 1);
    EXPECT_EQ(link.Hovering, 0);
    EXPECT_EQ(link.Visited, 0);
    EXPECT_TRUE(link.Target.empty());
    EXPECT_FALSE(link.PlainFont);
    EXPECT_FALSE(link.UnderlinedFont);
    // Without a window the settings are only stored.
    link.SetTarget(L"https://www.pellumbra.example/");
    link.SetUnderlineMode(CHyperLink::UnderlineAlways);
    EXPECT_EQ(link.Target, L"https://www.pellumbra.example/");
    EXPECT_EQ(link.UnderlineMode, CHyperLink::UnderlineAlways);
}

TEST(HyperLink, AttachExchangesTargetAndCaption) {
    ControlsHost host;
    CHyperLink captioned;
    CHyperLink empty;
    empty.SetTarget(L"https://www.pellumbra.example/eula.html");
    host.Run([&](UiDriver& ui) {
        ASSERT_TRUE(host.Bind(ui, IDC_LINK_LEFT, captioned));
        ASSERT_TRUE(host.Bind(ui, IDC_LINK_EMPTY, empty));
        ui.OnUi([&] {
            EXPECT_EQ(captioned.Target, L"Left link") << "an empty target takes the caption";
            EXPECT_TRUE(GetWindowLongW(captioned.Hwnd(), GWL_STYLE) & SS_NOTIFY);
            EXPECT_EQ(TextOf(empty.Hwnd()), L"https://www.pellumbra.example/eula.html")
                << "an empty caption shows the target";
            // A target set later leaves the caption from the template.
            captioned.SetTarget(L"https://www.pellumbra.example/other.html");
            EXPECT_EQ(TextOf(captioned.Hwnd()), L"Left link");
            EXPECT_EQ(captioned.Target, L"https://www.pellumbra.example/other.html");
        });
    });
}

TEST(HyperLink, FontsFollowTheUnderlineMode) {
    ControlsHost host;
    CHyperLink link;
    CHyperLink setEarly;
    setEarly.SetUnderlineMode(CHyperLink::UnderlineAlways);
    host.Run([&](UiDriver& ui) {
        LOGFONTW dialogFont = ui.Query<LOGFONTW>(
            [&] { return FontOfWindow(GetDlgItem(host.page.Hwnd(), IDC_LINK_LEFT)); });
        ASSERT_TRUE(host.Bind(ui, IDC_LINK_LEFT, link));
        ASSERT_TRUE(host.Bind(ui, IDC_LINK_RIGHT, setEarly));
        ui.OnUi([&] {
            LOGFONTW plain = FontRecord(link.PlainFont.get());
            LOGFONTW underlined = FontRecord(link.UnderlinedFont.get());
            EXPECT_STREQ(plain.lfFaceName, dialogFont.lfFaceName);
            EXPECT_EQ(plain.lfHeight, dialogFont.lfHeight);
            EXPECT_EQ(plain.lfUnderline, 0);
            EXPECT_STREQ(underlined.lfFaceName, dialogFont.lfFaceName);
            EXPECT_EQ(underlined.lfHeight, dialogFont.lfHeight);
            EXPECT_EQ(underlined.lfUnderline, 1);
            EXPECT_EQ(FontOfWindow(link.Hwnd()).lfUnderline, 0) << "hover mode starts plain";

            link.SetUnderlineMode(CHyperLink::UnderlineAlways);
            EXPECT_EQ(FontHandleOf(link.Hwnd()), link.UnderlinedFont.get());
            link.SetUnderlineMode(CHyperLink::UnderlineOnHover);
            EXPECT_EQ(FontHandleOf(link.Hwnd()), link.PlainFont.get());

            // A mode set before attaching is returned to hover mode by the attach.
            EXPECT_EQ(setEarly.UnderlineMode, CHyperLink::UnderlineOnHover);
            EXPECT_EQ(FontHandleOf(setEarly.Hwnd()), setEarly.PlainFont.get());
        });
    });
}

TEST(HyperLink, AControlWithoutAFontUsesTheStockFont) {
    ControlsHost host;
    CHyperLink link;
    host.Run([&](UiDriver& ui) {
        PostMessageW(host.sheet.Hwnd(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        ASSERT_TRUE(UiDriver::WaitFor(
            [&] { return ui.Query<bool>([&] { return host.noFontPage.Hwnd() != nullptr; }); }));
        ASSERT_TRUE(host.Bind(ui, IDC_PLAIN, link, &host.noFontPage));
        ui.OnUi([&] {
            ASSERT_EQ(FontHandleOf(link.Hwnd()), nullptr);
            LOGFONTW stock = FontRecord(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
            EXPECT_STREQ(FontRecord(link.PlainFont.get()).lfFaceName, stock.lfFaceName);
            EXPECT_EQ(FontRecord(link.PlainFont.get()).lfHeight, stock.lfHeight);
            EXPECT_EQ(FontRecord(link.UnderlinedFont.get()).lfUnderline, 1);
        });
    });
}

TEST(HyperLink, HoverUnderlinesAndColoursUntilTheMouseLeaves) {
    ControlsHost host;
    CHyperLink hover;
    CHyperLink always;
    host.Run([&](UiDriver& ui) {
        ASSERT_TRUE(host.Bind(ui, IDC_LINK_LEFT, hover));
        ASSERT_TRUE(host.Bind(ui, IDC_LINK_RIGHT, always));
        ui.OnUi([&] { always.SetUnderlineMode(CHyperLink::UnderlineAlways); });
        HWND window = ui.Query<HWND>([&] { return hover.Hwnd(); });

        ColourAnswer idle = ui.Query<ColourAnswer>([&] { return AskColours(window); });
        EXPECT_EQ(idle.text, RGB(0, 0, 238));
        EXPECT_EQ(idle.backgroundMode, TRANSPARENT);
        EXPECT_EQ(idle.brush, GetStockObject(NULL_BRUSH));

        for (CHyperLink* link : {&hover, &always}) {
            HWND control = ui.Query<HWND>([&] { return link->Hwnd(); });
            MoveMouse(ui, CentreOnScreen(control));
            ui.OnUi([&] { SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)); });
            // Ticks of the hover timer that find the mouse inside change nothing.
            Sleep(350);
            ui.OnUi([&] {
                EXPECT_EQ(link->Hovering, 1);
                EXPECT_EQ(FontHandleOf(control), link->UnderlinedFont.get());
                EXPECT_EQ(AskColours(control).text, RGB(255, 0, 0));
            });
            MoveMouse(ui, OutsideOf(control));
            EXPECT_TRUE(UiDriver::WaitFor(
                [&] { return ui.Query<int>([&] { return link->Hovering; }) == 0; }, 3000));
            ui.OnUi([&] {
                EXPECT_EQ(AskColours(control).text, RGB(0, 0, 238));
                HFONT expected =
                    link == &hover ? link->PlainFont.get() : link->UnderlinedFont.get();
                EXPECT_EQ(FontHandleOf(control), expected)
                    << (link == &hover ? "hover mode" : "always underlined");
            });
        }
    });
}

TEST(HyperLink, FitsItsWindowToTheUnderlinedCaption) {
    ControlsHost host;
    CHyperLink left, centre, right, middle;
    host.Run([&](UiDriver& ui) {
        struct Item {
            int id;
            CHyperLink* link;
            RECT before;
        } items[] = {{IDC_LINK_LEFT, &left, {}},
                     {IDC_LINK_CENTRE, &centre, {}},
                     {IDC_LINK_RIGHT, &right, {}},
                     {IDC_LINK_MIDDLE, &middle, {}}};
        for (Item& item : items) {
            HWND window = host.Item(ui, item.id);
            item.before = ui.Query<RECT>([&] { return RectInParent(window); });
            ASSERT_TRUE(host.Bind(ui, item.id, *item.link));
        }
        for (Item& item : items) {
            ui.OnUi([&] {
                HWND window = item.link->Hwnd();
                HDC dc = GetDC(window);
                HGDIOBJ old = SelectObject(dc, item.link->UnderlinedFont.get());
                std::wstring text = TextOf(window);
                SIZE extent = {};
                GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
                SelectObject(dc, old);
                ReleaseDC(window, dc);
                ASSERT_GT(extent.cx, 0);
                const RECT& b = item.before;
                RECT a = RectInParent(window);
                ASSERT_LT(extent.cx, b.right - b.left) << "the template leaves room to shrink";
                switch (item.id) {
                case IDC_LINK_LEFT:
                    EXPECT_EQ(a.left, b.left);
                    EXPECT_EQ(a.right - a.left, extent.cx);
                    break;
                case IDC_LINK_RIGHT:
                    EXPECT_EQ(a.right, b.right);
                    EXPECT_EQ(a.right - a.left, extent.cx);
                    break;
                case IDC_LINK_CENTRE: {
                    // Both sides lose half the difference, truncated.
                    long shrink = ((b.right - b.left) - extent.cx) / 2;
                    EXPECT_EQ(a.left, b.left + shrink);
                    EXPECT_EQ(a.right, b.right - shrink);
                    break;
                }
                case IDC_LINK_MIDDLE: {
                    long shrink = ((b.bottom - b.top) - extent.cy) / 2;
                    EXPECT_EQ(a.top, b.top + shrink);
                    EXPECT_EQ(a.bottom, b.bottom - shrink);
                    EXPECT_EQ(a.left, b.left);
                    break;
                }
                }
                if (item.id != IDC_LINK_MIDDLE) {
                    EXPECT_EQ(a.top, b.top);
                    EXPECT_EQ(a.bottom - a.top, extent.cy);
                }
            });
        }
    });
}

// The help program in the Windows folder, and the stand-in built with the tests.
std::wstring HelpProgramPath() {
    wchar_t path[MAX_PATH] = {};
    GetWindowsDirectoryW(path, MAX_PATH);
    return std::wstring(path) + L"\\winhlp32.exe";
}

std::wstring HelpStandInPath() {
    std::wstring recorder = RecorderPath();
    return recorder.substr(0, recorder.find_last_of(L'\\') + 1) + L"help_stand_in.exe";
}

TEST(HyperLink, UsesTheHandCursorOfTheHelpProgramWhenThereIsOne) {
    const std::wstring help = HelpProgramPath();
    if (GetFileAttributesW(help.c_str()) != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "this Windows has its own help program";
    ControlsHost host;
    CHyperLink link;
    host.Run([&](UiDriver& ui) {
        ASSERT_TRUE(host.Bind(ui, IDC_LINK_LEFT, link));
        ui.OnUi([&] {
            // No help program: no hand cursor, and the cursor keeps its shape.
            EXPECT_FALSE(link.HandCursor);
            HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            EXPECT_EQ(SendMessageW(link.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.Hwnd()),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                      FALSE);
            EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
            SetCursor(before);
        });
        // With a help program that carries cursor 106, the cursor is loaded once.
        ASSERT_TRUE(CopyFileW(HelpStandInPath().c_str(), help.c_str(), TRUE));
        ui.OnUi([&] {
            link.LoadHandCursor();
            ASSERT_TRUE(link.HandCursor);
            EXPECT_EQ(SendMessageW(link.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.Hwnd()),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                      TRUE);
            EXPECT_EQ(GetCursor(), link.HandCursor.get());
            HCURSOR loaded = link.HandCursor.get();
            link.LoadHandCursor();
            EXPECT_EQ(link.HandCursor.get(), loaded);
        });
        EXPECT_TRUE(DeleteFileW(help.c_str())) << "the help program is not kept open";
    });
    DeleteFileW(help.c_str());
}

// Clicking and opening: the registry's classes root is a scratch key, so the
// ".htm" fallback finds exactly what the test writes.
class LinkOpening : public RegistryFixture {
  protected:
    void RegisterHtmCommand(const std::wstring& className, const std::wstring& command) {
        WriteString(ClassesKey(), L".htm", L"", className);
        WriteString(ClassesKey(), (className + L"\\shell\\open\\command").c_str(), L"", command);
    }
    static std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

    const std::wstring missing_ = L"C:\\pel-no-such-folder\\page.htm";
};

TEST_F(LinkOpening, ClicksShowVisitedAfterSuccessAndNormalAfterFailure) {
    Recording recording;
    ControlsHost host;
    CHyperLink link;
    link.SetTarget(RecorderPath().c_str());
    host.Run([&](UiDriver& ui) {
        ASSERT_TRUE(host.Bind(ui, IDC_LINK_LEFT, link));
        HWND window = ui.Query<HWND>([&] { return link.Hwnd(); });
        // A real click: the control reports STN_CLICKED, the page reflects it.
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ASSERT_TRUE(
            UiDriver::WaitFor([&] { return ui.Query<int>([&] { return link.Visited; }) == 1; }));
        EXPECT_EQ(ui.Query<ColourAnswer>([&] { return AskColours(window); }).text,
                  RGB(85, 26, 139));
        EXPECT_NE(recording.WaitForLines(1), "") << "the shell opened the target";

        ui.OnUi([&] { link.SetTarget(missing_.c_str()); });
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ASSERT_TRUE(
            UiDriver::WaitFor([&] { return ui.Query<int>([&] { return link.Visited; }) == 0; }));
        EXPECT_EQ(ui.Query<ColourAnswer>([&] { return AskColours(window); }).text, RGB(0, 0, 238));
    });
}

TEST_F(LinkOpening, FallsBackToTheRegisteredHtmCommand) {
    const std::wstring recorder = RecorderPath();
    struct Case {
        const char* what;
        std::wstring command;
        std::string expectedTail; // of the recorded command line
    } cases[] = {
        {"quoted placeholder", Quoted(recorder) + L" \"%1\"", "\"  " + Utf8(missing_)},
        {"bare placeholder", Quoted(recorder) + L" -url %1 -new", "\" -url  " + Utf8(missing_)},
        {"no placeholder", Quoted(recorder) + L" -open", "\" -open " + Utf8(missing_)},
    };
    CHyperLink link;
    for (const Case& c : cases) {
        Recording recording;
        RegisterHtmCommand(L"PelTestPage", c.command);
        UINT_PTR result = link.OpenTarget(missing_.c_str());
        EXPECT_GT(result, 32u) << c.what;
        std::string line = recording.WaitForLines(1);
        ASSERT_FALSE(line.empty()) << c.what;
        line.erase(line.find_last_not_of("\r\n") + 1);
        EXPECT_EQ(line.substr(line.size() - std::min(line.size(), c.expectedTail.size())),
                  c.expectedTail)
            << c.what << ": " << line;
    }
}

TEST_F(LinkOpening, FailsWithoutRunningAnythingWhenTheFallbackCannotBeBuilt) {
    const std::wstring recorder = RecorderPath();
    const std::size_t suffix = std::wstring(L"\\shell\\open\\command").size();
    struct Case {
        const char* what;
        std::wstring className; // empty: no ".htm" key at all
        std::wstring command;   // empty: no command key
    } cases[] = {
        {"no .htm class", L"", L""},
        {"class without open command", L"PelTestPage", L""},
        // The command value and the target would need 520 characters.
        {"command too long with the target", L"PelTestPage",
         Quoted(recorder) + L" -x" +
             std::wstring(519 - (recorder.size() + 2 + 3) - 1 - missing_.size() + 1, L'x')},
        // A value longer than the command buffer cannot be read whole.
        {"command value too long", L"PelTestPage", Quoted(recorder) + std::wstring(600, L' ')},
        // Class names are read into a buffer of 260 characters, so the key
        // path (class name and open verb) stays within the command buffer.
        {"class name longer than its buffer", std::wstring(520 - suffix, L'c'), Quoted(recorder)},
    };
    CHyperLink link;
    Recording recording;
    for (const Case& c : cases) {
        RegDeleteTreeW(ClassesKey(), nullptr);
        if (!c.className.empty()) {
            WriteString(ClassesKey(), L".htm", L"", c.className);
            if (!c.command.empty() && c.className.size() < 256)
                WriteString(ClassesKey(), (c.className + L"\\shell\\open\\command").c_str(), L"",
                            c.command);
        }
        EXPECT_LE(link.OpenTarget(missing_.c_str()), 32u) << c.what;
    }
    // One command that just fits does run: the limit is exact.
    std::wstring fits = Quoted(recorder) + L" -x" +
                        std::wstring(519 - (recorder.size() + 2 + 3) - 1 - missing_.size(), L'x');
    RegisterHtmCommand(L"PelTestPage", fits);
    EXPECT_GT(link.OpenTarget(missing_.c_str()), 32u);
    std::string recorded = recording.WaitForLines(1);
    EXPECT_EQ(std::count(recorded.begin(), recorded.end(), '\n'), 1) << recorded;
}

TEST(ColourStatic, StartsWithTheSystemColoursAndCopiesTheDialogFontOnAttach) {
    ControlsHost host;
    CXColorStatic busy;
    EXPECT_EQ(busy.TextColour, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(busy.BackgroundColour, GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(busy.BackgroundBrush);
    EXPECT_FALSE(busy.OwnFont);
    EXPECT_EQ(busy.Bold, 0);
    host.Run([&](UiDriver& ui) {
        HWND item = host.Item(ui, IDC_BUSY_LINE);
        LOGFONTW dialogFont = ui.Query<LOGFONTW>([&] { return FontOfWindow(item); });
        ASSERT_TRUE(host.Bind(ui, IDC_BUSY_LINE, busy));
        ui.OnUi([&] {
            LOGFONTW own = FontRecord(busy.OwnFont.get());
            EXPECT_STREQ(own.lfFaceName, dialogFont.lfFaceName);
            EXPECT_EQ(own.lfHeight, dialogFont.lfHeight);
            EXPECT_EQ(own.lfWeight, dialogFont.lfWeight) << "attach does not apply Bold";
        });
    });
}

TEST(ColourStatic, BoldAndArialFontsAsThePagesAskForThem) {
    ControlsHost host;
    CXColorStatic bold;
    CXColorStatic regular;
    CXColorStatic fontless;
    host.Run([&](UiDriver& ui) {
        ASSERT_TRUE(host.Bind(ui, IDC_BUSY_LINE, bold));
        ASSERT_TRUE(host.Bind(ui, IDC_WRAPPED, regular));
        LOGFONTW dialogFont = ui.Query<LOGFONTW>([&] { return FontOfWindow(bold.Hwnd()); });
        ui.OnUi([&] {
            bold.SetTextColour(RGB(255, 0, 0));
            EXPECT_EQ(bold.TextColour, RGB(255, 0, 0));
            bold.EnableBold();
            LOGFONTW record = FontRecord(bold.OwnFont.get());
            EXPECT_EQ(record.lfWeight, FW_BOLD);
            EXPECT_STREQ(record.lfFaceName, dialogFont.lfFaceName);
            bold.UseArialFont(27);
            record = FontRecord(bold.OwnFont.get());
            EXPECT_STREQ(record.lfFaceName, L"Arial");
            EXPECT_EQ(record.lfHeight, 27);
            EXPECT_EQ(record.lfWeight, FW_BOLD) << "bold stays for later fonts";
            EXPECT_EQ(record.lfQuality, ANTIALIASED_QUALITY);
            EXPECT_EQ(record.lfItalic, 0);
            EXPECT_EQ(record.lfUnderline, 0);
            EXPECT_EQ(record.lfCharSet, 0);

            regular.UseArialFont(18);
            record = FontRecord(regular.OwnFont.get());
            EXPECT_STREQ(record.lfFaceName, L"Arial");
            EXPECT_EQ(record.lfWeight, FW_NORMAL);
        });

        // A control without a font of its own is made bold from the stock font.
        PostMessageW(host.sheet.Hwnd(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        ASSERT_TRUE(UiDriver::WaitFor(
            [&] { return ui.Query<bool>([&] { return host.noFontPage.Hwnd() != nullptr; }); }));
        ASSERT_TRUE(host.Bind(ui, IDC_PLAIN, fontless, &host.noFontPage));
        ui.OnUi([&] {
            fontless.EnableBold();
            LOGFONTW stock = FontRecord(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
            LOGFONTW record = FontRecord(fontless.OwnFont.get());
            EXPECT_STREQ(record.lfFaceName, stock.lfFaceName);
            EXPECT_EQ(record.lfWeight, FW_BOLD);
        });
    });
}

// Where the pixels of one colour lie in a control's client area.
struct ColourBox {
    int count = 0;
    RECT box = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
};

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) < 60 &&
           std::abs(GetGValue(a) - GetGValue(b)) < 60 && std::abs(GetBValue(a) - GetBValue(b)) < 60;
}

ColourBox FindColour(HWND window, COLORREF colour) {
    ColourBox found;
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            if (!Near(GetPixel(dc, x, y), colour))
                continue;
            ++found.count;
            found.box.left = std::min<LONG>(found.box.left, x);
            found.box.top = std::min<LONG>(found.box.top, y);
            found.box.right = std::max<LONG>(found.box.right, x + 1);
            found.box.bottom = std::max<LONG>(found.box.bottom, y + 1);
        }
    }
    ReleaseDC(window, dc);
    return found;
}

TEST(ColourStatic, PaintsItsCaptionByStyleAndRepaintsOnlyOnFontChanges) {
    ControlsHost host;
    CXColorStatic busy;
    CXColorStatic wrapped;
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF blue = RGB(0, 0, 255);
    host.Run([&](UiDriver& ui) {
        ASSERT_TRUE(host.Bind(ui, IDC_BUSY_LINE, busy));
        ASSERT_TRUE(host.Bind(ui, IDC_WRAPPED, wrapped));
        ui.OnUi([&] {
            busy.SetTextColour(red);
            busy.EnableBold();
            busy.UseArialFont(16); // repaints at once
            RECT client;
            GetClientRect(busy.Hwnd(), &client);
            ColourBox text = FindColour(busy.Hwnd(), red);
            ASSERT_GT(text.count, 20);
            // One centred line, vertically centred.
            EXPECT_NEAR((text.box.left + text.box.right) / 2, client.right / 2, 4);
            EXPECT_NEAR((text.box.top + text.box.bottom) / 2, client.bottom / 2, 4);
            EXPECT_LE(text.box.bottom - text.box.top, 18);
            HDC dc = GetDC(busy.Hwnd());
            EXPECT_EQ(GetPixel(dc, 0, 0), busy.BackgroundColour) << "opaque background";
            ReleaseDC(busy.Hwnd(), dc);

            // A new colour waits for the next paint; a font change paints at once.
            busy.SetTextColour(blue);
            EXPECT_GT(FindColour(busy.Hwnd(), red).count, 20);
            EXPECT_EQ(FindColour(busy.Hwnd(), blue).count, 0);
            busy.UseArialFont(16);
            EXPECT_EQ(FindColour(busy.Hwnd(), red).count, 0);
            EXPECT_GT(FindColour(busy.Hwnd(), blue).count, 20);

            // Without SS_CENTERIMAGE the caption wraps from the top left.
            wrapped.SetTextColour(red);
            wrapped.UseArialFont(14);
            ColourBox lines = FindColour(wrapped.Hwnd(), red);
            ASSERT_GT(lines.count, 20);
            EXPECT_LE(lines.box.top, 4);
            EXPECT_LE(lines.box.left, 3);
            EXPECT_GE(lines.box.bottom - lines.box.top, 2 * 14) << "more than one line";
        });
    });
}

} // namespace
