// A C++ object placed in front of one window's own procedure.
//
// Once hooked, the window's messages pass through Dispatch; Default hands the
// message being handled on to the window's own procedure. Handlers may cause
// nested messages: each level keeps its own. When the window goes away
// (WM_NCDESTROY) the object lets go of it and may be hooked to another one.
#pragma once

#include <windows.h>

class WindowSubclass {
  public:
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;

    HWND Hwnd() const { return hwnd_; }

  protected:
    WindowSubclass() = default;
    // A window that outlives its object must stop calling into it.
    virtual ~WindowSubclass();

    // Routes `window`'s messages through this object: OnAttach runs with
    // Hwnd() already set, then the messages start to pass. False when the
    // object has a window already or the window cannot be hooked.
    bool Hook(HWND window);
    // Stops routing; the window keeps its own procedure.
    void Unhook();

    // The attach hook: runs once per hooked window, before its messages pass.
    virtual void OnAttach() {}
    // The window's messages, as they arrive.
    virtual LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // After the window's last message; the default unhooks.
    virtual void OnWindowGone() { Unhook(); }

    // Hands the message being handled to the window's own procedure.
    LRESULT Default();

  private:
    struct Message {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR ref);

    HWND hwnd_ = nullptr;
    Message current_ = {0, 0, 0};
};
