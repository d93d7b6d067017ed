// A static text of a dialog turned into a web link: link colours, underline
// while the mouse is over it (or always), a hand cursor where the system has
// one, and a click that opens its target through the shell, or through the
// program registered for ".htm" pages when the shell cannot.
#pragma once

#include "engine/win_handles.h"
#include "framework/static_control.h"

#include <windows.h>

#include <string>

struct CursorTraits {
    static HCURSOR Invalid() { return nullptr; }
    static void Close(HCURSOR h) { DestroyIcon(h); }
};
using UniqueCursor = UniqueHandle<HCURSOR, CursorTraits>;

class CHyperLink : public StaticControl {
  public:
    // Underline modes; any other value means never underlined.
    static constexpr int UnderlineOnHover = -1;
    static constexpr int UnderlineAlways = 1;

    CHyperLink() = default;
    ~CHyperLink() override = default;

    void SetUnderlineMode(int mode);
    // Sets what a click opens; the caption stays. Refits a live window.
    void SetTarget(const wchar_t* target);
    // Opens `target`; a result greater than 32 means success.
    UINT_PTR OpenTarget(const wchar_t* target);
    void FitWindowToText();
    void LoadHandCursor();

    COLORREF NormalColour = RGB(0, 0, 238);
    COLORREF VisitedColour = RGB(85, 26, 139);
    COLORREF HoverColour = RGB(255, 0, 0);
    int Hovering = 0;
    int Visited = 0;
    int UnderlineMode = UnderlineOnHover;
    int SizeToText = 1;
    std::wstring Target;
    UniqueFont UnderlinedFont;
    UniqueFont PlainFont;
    UniqueCursor HandCursor;
    UINT HoverTimerId = 100;

  protected:
    void OnAttach() override;
    HBRUSH OnReflectedCtlColor(HDC dc) override;
    bool OnReflectedCommand(UINT code) override;
    LRESULT OnEraseBackground(HDC dc) override;
    LRESULT OnMouseMove(UINT keys, POINT point) override;
    LRESULT OnTimer(UINT_PTR id) override;
    LRESULT OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    void OnDestroy() override;

  private:
    void OnClicked();
};
