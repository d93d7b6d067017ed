#include "framework/static_control.h"

#include <commctrl.h>

namespace {
// One subclass per object; the id tells our subclass apart from others.
constexpr UINT_PTR kSubclassId = 0x5043;
// The window property that leads from a window to its object.
constexpr wchar_t kObjectProperty[] = L"PelStaticControl";
} // namespace

StaticControl::~StaticControl() {
    // A window that outlives its object must stop calling into it.
    Detach();
}

bool StaticControl::Attach(HWND window) {
    if (hwnd_ || !window || !IsWindow(window))
        return false;
    hwnd_ = window;
    OnAttach();
    if (!SetPropW(window, kObjectProperty, this)) {
        hwnd_ = nullptr;
        return false;
    }
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        RemovePropW(window, kObjectProperty);
        hwnd_ = nullptr;
        return false;
    }
    return true;
}

StaticControl* StaticControl::FromHandle(HWND window) {
    return window ? static_cast<StaticControl*>(GetPropW(window, kObjectProperty)) : nullptr;
}

void StaticControl::Detach() {
    if (hwnd_) {
        RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
        RemovePropW(hwnd_, kObjectProperty);
    }
    hwnd_ = nullptr;
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

LRESULT StaticControl::Default() {
    return DefSubclassProc(hwnd_, current_.msg, current_.wParam, current_.lParam);
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

LRESULT CALLBACK StaticControl::SubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR ref) {
    StaticControl* self = reinterpret_cast<StaticControl*>(ref);
    if (!self || self->hwnd_ != window)
        return DefSubclassProc(window, msg, wParam, lParam);
    // Handlers may cause nested messages; each level keeps its own message.
    Message saved = self->current_;
    self->current_ = {msg, wParam, lParam};
    LRESULT result = self->Dispatch(msg, wParam, lParam);
    self->current_ = saved;
    if (msg == WM_NCDESTROY)
        self->Detach();
    return result;
}
