#include "controls/colour_static.h"

#include "controls/static_layout.h"
#include "engine/text_buffer.h"

#include <string>

static_assert(kDrawCenter == DT_CENTER && kDrawRight == DT_RIGHT && kDrawLeft == DT_LEFT &&
                  kDrawVCenter == DT_VCENTER && kDrawSingleLine == DT_SINGLELINE &&
                  kDrawWordBreak == DT_WORDBREAK,
              "draw formats");

namespace {

HFONT ControlFontOrStock(HWND window) {
    HFONT font = window ? reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)) : nullptr;
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    return font;
}

} // namespace

CXColorStatic::CXColorStatic()
    : TextColour(GetSysColor(COLOR_BTNTEXT)), BackgroundColour(GetSysColor(COLOR_BTNFACE)),
      BackgroundBrush(CreateSolidBrush(BackgroundColour)) {}

// Runs as the control is attached: an unchanged copy of the dialog's font.
void CXColorStatic::OnAttach() {
    LOGFONTW font = {};
    GetObjectW(ControlFontOrStock(Hwnd()), sizeof(font), &font);
    OwnFont.reset(CreateFontIndirectW(&font));
}

void CXColorStatic::SetTextColour(COLORREF colour) {
    TextColour = colour;
}

// A control without a font of its own starts from the stock fonts, as attach does.
void CXColorStatic::EnableBold() {
    Bold = 1;
    LOGFONTW font = {};
    GetObjectW(ControlFontOrStock(Hwnd()), sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    ApplyFont(font);
}

void CXColorStatic::UseArialFont(LONG height) {
    LOGFONTW font = {};
    CopyTextN(font.lfFaceName, LF_FACESIZE, L"Arial", LF_FACESIZE - 1);
    font.lfHeight = height;
    font.lfQuality = ANTIALIASED_QUALITY;
    ApplyFont(font);
}

void CXColorStatic::ApplyFont(const LOGFONTW& font) {
    OwnFont.reset();
    LOGFONTW copy = font;
    copy.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
    OwnFont.reset(CreateFontIndirectW(&copy));
    HWND window = Hwnd();
    if (window && IsWindow(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CXColorStatic::OnPaint() {
    HWND window = Hwnd();
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return 0;
    int saved = SaveDC(dc);
    SetTextColor(dc, TextColour);
    SetBkColor(dc, BackgroundColour);
    SetBkMode(dc, OPAQUE);
    if (BackgroundBrush)
        SelectObject(dc, BackgroundBrush.get());
    RECT client;
    GetClientRect(window, &client);
    if (OwnFont)
        SelectObject(dc, OwnFont.get());

    int length = GetWindowTextLengthW(window);
    std::wstring caption(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
    int got = GetWindowTextW(window, &caption[0], static_cast<int>(caption.size()));
    unsigned long style = static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE));
    DrawTextW(dc, caption.c_str(), got > 0 ? got : 0, &client, CaptionDrawFormat(style));

    if (saved)
        RestoreDC(dc, -1);
    EndPaint(window, &paint);
    return 0;
}

LRESULT CXColorStatic::OnEraseBackground(HDC dc) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    if (BackgroundBrush)
        FillRect(dc, &client, BackgroundBrush.get());
    return TRUE;
}
