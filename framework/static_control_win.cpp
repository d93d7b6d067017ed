#include "framework/static_control.h"

#include <commctrl.h>

namespace {
// The window property that leads from a window to its object.
constexpr wchar_t kObjectProperty[] = L"PelStaticControl";
} // namespace

StaticControl::~StaticControl() {
    // A window that outlives its object must stop calling into it.
    Detach();
}

bool StaticControl::Attach(HWND window) {
    if (Hwnd() || !window || !IsWindow(window))
        return false;
    if (!SetPropW(window, kObjectProperty, this))
        return false;
    if (!Hook(window)) {
        RemovePropW(window, kObjectProperty);
        return false;
    }
    return true;
}

StaticControl* StaticControl::FromHandle(HWND window) {
    return window ? static_cast<StaticControl*>(GetPropW(window, kObjectProperty)) : nullptr;
}

void StaticControl::Detach() {
    if (Hwnd())
        RemovePropW(Hwnd(), kObjectProperty);
    Unhook();
}

HBRUSH StaticControl::OnReflectedCtlColor(HDC) {
    return nullptr;
}

bool StaticControl::OnReflectedCommand(UINT) {
    return false;
}

LRESULT StaticControl::OnPaint() {
    return Default();
}

LRESULT StaticControl::OnEraseBackground(HDC) {
    return Default();
}

LRESULT StaticControl::OnMouseMove(UINT, POINT) {
    return Default();
}

LRESULT StaticControl::OnTimer(UINT_PTR) {
    return Default();
}

LRESULT StaticControl::OnSetCursor(HWND, UINT, UINT) {
    return Default();
}

LRESULT StaticControl::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_MOUSEMOVE: {
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        return OnMouseMove(static_cast<UINT>(wParam), point);
    }
    case WM_TIMER:
        return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_DESTROY:
        OnDestroy();
        return Default();
    default:
        return Default();
    }
}
