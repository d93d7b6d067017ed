// Every text of every page is shown whole: each static text, box, radio,
// button and frame of the five pages, measured in the font the control draws
// with, fits the control it stands in. A text cut off by its box is a defect
// the user sees, whatever the template says.
#include "resources/resource.h"
#include "support/wide_print.h"
#include "wizard_fixture.h"

#include <string>
#include <vector>

namespace {

// What one control needs and has, in pixels.
struct Fit {
    int Id;
    std::wstring Text;
    SIZE Needed;
    SIZE Available;
};

// The text's extent in the control's own font: one line, or broken at words
// within `width` when the control wraps.
SIZE Measure(HWND control, const std::wstring& text, int width, bool wrap, bool prefix) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r = {0, 0, width, 0};
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : DT_SINGLELINE) |
                 (prefix ? 0u : static_cast<UINT>(DT_NOPREFIX));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

int Scaled(int pixelsAt96) {
    return MulDiv(pixelsAt96, ScreenDpi(), 96);
}

// Every visible text control of a page, with what it needs and what it has.
// Check boxes and radios lose their glyph and its gap, push buttons their
// edges and group boxes their frame to the text.
std::vector<Fit> MeasurePage(HWND page) {
    std::vector<Fit> fits;
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        LONG style = GetWindowLongW(c, GWL_STYLE);
        if (!(style & WS_VISIBLE))
            continue;
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        std::wstring text = WindowText(c);
        if (text.empty())
            continue;
        RECT client;
        GetClientRect(c, &client);
        SIZE has = {client.right, client.bottom};
        Fit fit{GetDlgCtrlID(c), text, {}, has};
        if (lstrcmpiW(cls, L"Static") == 0) {
            LONG type = style & SS_TYPEMASK;
            if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT)
                continue;
            bool oneLine = (style & SS_CENTERIMAGE) != 0;
            fit.Needed = Measure(c, text, has.cx, !oneLine, !(style & SS_NOPREFIX));
        } else if (lstrcmpiW(cls, L"Button") == 0) {
            LONG type = style & BS_TYPEMASK;
            bool multiLine = (style & BS_MULTILINE) != 0;
            if (type == BS_GROUPBOX) {
                fit.Available.cx -= Scaled(16);
                fit.Needed = Measure(c, text, fit.Available.cx, false, true);
                fit.Available.cy = fit.Needed.cy; // the frame runs through the text line
            } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
                fit.Available.cx -= Scaled(4);
                fit.Needed = Measure(c, text, fit.Available.cx, multiLine, true);
            } else {
                fit.Available.cx -= Scaled(17);
                fit.Needed = Measure(c, text, fit.Available.cx, multiLine, true);
            }
        } else {
            continue;
        }
        fits.push_back(fit);
    }
    return fits;
}

} // namespace

TEST_F(WizardTest, EveryTextOfEveryPageFitsItsControl) {
    std::vector<std::pair<int, std::vector<Fit>>> pages;
    auto measure = [&](UiDriver& ui, int position) {
        ASSERT_EQ(Position(ui), position);
        pages.emplace_back(position,
                           ui.Query<std::vector<Fit>>([&] { return MeasurePage(Page(ui, position)); }));
    };
    RunWizard([&](UiDriver& ui) {
        SetFolder(ui, L"C:\\Program Files\\Pellumbra");
        for (int position = kWelcome; position <= kReady; ++position) {
            WalkTo(ui, position);
            measure(ui, position);
        }
        FinishInstallation(ui);
        measure(ui, kFinish);
        Tick(ui, IDC_SHOW_FAQ, false);
        Tick(ui, IDC_START_VIEWER, false);
        ClickButton(ui, WizardSheet::kCancelButton);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }));
    });
    ASSERT_EQ(pages.size(), 5u);
    int measured = 0;
    for (const auto& [position, fits] : pages) {
        EXPECT_FALSE(fits.empty()) << "page " << position;
        for (const Fit& f : fits) {
            ++measured;
            EXPECT_TRUE(f.Needed.cx <= f.Available.cx && f.Needed.cy <= f.Available.cy)
                << "page " << position << ", control " << f.Id << " \"" << Utf8(f.Text)
                << "\" needs " << f.Needed.cx << "x" << f.Needed.cy << " pixels, has "
                << f.Available.cx << "x" << f.Available.cy;
        }
    }
    EXPECT_GT(measured, 20);
}
