// A static text that paints its own caption: its own font, its own text
// colour on an opaque background of its own colour, aligned by the control's
// static styles. Every font change repaints it at once.
#pragma once

#include "engine/win_handles.h"
#include "framework/static_control.h"

#include <windows.h>

struct BrushTraits {
    static HBRUSH Invalid() { return nullptr; }
    static void Close(HBRUSH h) { DeleteObject(h); }
};
using UniqueBrush = UniqueHandle<HBRUSH, BrushTraits>;

class CXColorStatic : public StaticControl {
  public:
    CXColorStatic();
    ~CXColorStatic() override = default;

    // Takes effect at the next paint.
    void SetTextColour(COLORREF colour);
    // Bold from now on; rebuilds the font from the one the dialog gave the control.
    void EnableBold();
    // Arial of the given height (logical units, as lfHeight), anti-aliased.
    void UseArialFont(LONG height);
    // Makes `font` (with the weight that Bold asks for) the caption's font.
    void ApplyFont(const LOGFONTW& font);

    UniqueFont OwnFont;
    COLORREF TextColour;
    COLORREF BackgroundColour;
    UniqueBrush BackgroundBrush;
    int Bold = 0;

  protected:
    void OnAttach() override;
    LRESULT OnPaint() override;
    LRESULT OnEraseBackground(HDC dc) override;
};
