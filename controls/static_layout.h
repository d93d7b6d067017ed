// Layout rules of the two self-drawn static controls: where a caption's
// window goes when it is fitted to its text, and how a caption is drawn.
// No Windows header: the style and format bits are the platform's values.
#pragma once

// Static control styles (SS_CENTER, SS_RIGHT, SS_CENTERIMAGE).
constexpr unsigned long kStaticCenter = 0x0001;
constexpr unsigned long kStaticRight = 0x0002;
constexpr unsigned long kStaticCenterImage = 0x0200;

// Text drawing formats (DT_LEFT, DT_CENTER, DT_RIGHT, DT_VCENTER,
// DT_WORDBREAK, DT_SINGLELINE).
constexpr unsigned kDrawLeft = 0x00;
constexpr unsigned kDrawCenter = 0x01;
constexpr unsigned kDrawRight = 0x02;
constexpr unsigned kDrawVCenter = 0x04;
constexpr unsigned kDrawWordBreak = 0x10;
constexpr unsigned kDrawSingleLine = 0x20;

struct LayoutBox {
    long left;
    long top;
    long right;
    long bottom;
};

// The window box of a caption fitted to its text. `textWidth` and `textHeight`
// are the text's extent plus the window's borders. Vertically: centred on the
// old box with SS_CENTERIMAGE, else kept at its top. Horizontally: centred
// with SS_CENTER, kept at its right edge with SS_RIGHT, else at its left edge.
// Centring shrinks (or grows) both sides by half the difference, truncated.
LayoutBox FitBoxToText(LayoutBox window, long textWidth, long textHeight, unsigned long style);

// The DrawText format for a caption of the given static style: centred,
// right or left; one vertically centred line with SS_CENTERIMAGE, else
// wrapped at word boundaries.
unsigned CaptionDrawFormat(unsigned long style);
