#include "framework/window_subclass.h"

#include <commctrl.h>

namespace {
// Tells our subclass apart from other subclasses of the same window.
constexpr UINT_PTR kSubclassId = 0x5043;
} // namespace

WindowSubclass::~WindowSubclass() {
    Unhook();
}

bool WindowSubclass::Hook(HWND window) {
    if (hwnd_ || !window)
        return false;
    hwnd_ = window;
    OnAttach();
    if (!SetWindowSubclass(window, Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        hwnd_ = nullptr;
        return false;
    }
    return true;
}

void WindowSubclass::Unhook() {
    if (hwnd_)
        RemoveWindowSubclass(hwnd_, Procedure, kSubclassId);
    hwnd_ = nullptr;
}

LRESULT WindowSubclass::Default() {
    return DefSubclassProc(hwnd_, current_.msg, current_.wParam, current_.lParam);
}

LRESULT CALLBACK WindowSubclass::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR ref) {
    WindowSubclass* self = reinterpret_cast<WindowSubclass*>(ref);
    if (!self || self->hwnd_ != window)
        return DefSubclassProc(window, msg, wParam, lParam);
    Message saved = self->current_;
    self->current_ = {msg, wParam, lParam};
    LRESULT result = self->Dispatch(msg, wParam, lParam);
    self->current_ = saved;
    if (msg == WM_NCDESTROY)
        self->OnWindowGone();
    return result;
}
