#include "controls/static_layout.h"

LayoutBox FitBoxToText(LayoutBox window, long textWidth, long textHeight, unsigned long style) {
    LayoutBox box = window;
    if (style & kStaticCenterImage) {
        long shrink = ((box.bottom - box.top) - textHeight) / 2;
        box.top += shrink;
        box.bottom -= shrink;
    } else {
        box.bottom = box.top + textHeight;
    }
    if (style & kStaticCenter) {
        long shrink = ((box.right - box.left) - textWidth) / 2;
        box.left += shrink;
        box.right -= shrink;
    } else if (style & kStaticRight) {
        box.left = box.right - textWidth;
    } else {
        box.right = box.left + textWidth;
    }
    return box;
}

unsigned CaptionDrawFormat(unsigned long style) {
    unsigned format = kDrawLeft;
    if (style & kStaticCenter)
        format = kDrawCenter;
    else if (style & kStaticRight)
        format = kDrawRight;
    if (style & kStaticCenterImage)
        format |= kDrawVCenter | kDrawSingleLine;
    else
        format |= kDrawWordBreak;
    return format;
}
