// A static control of a dialog template, taken over by a C++ object.
//
// The object is constructed without a window and later attached to an
// existing dialog item (see DataExchange::BindControl). From then on the
// item's messages pass through the object's handlers, and the dialog page
// reflects the two notifications that the control causes at its parent
// (WM_CTLCOLORSTATIC and WM_COMMAND) back to it. When the window goes away
// the object lets go of it and can be attached again to a new one.
#pragma once

#include "framework/window_subclass.h"

class StaticControl : public WindowSubclass {
  public:
    StaticControl() = default;
    ~StaticControl() override;

    // Takes over `window`: OnAttach runs with Hwnd() already set, then the
    // window's messages are routed through this object. Refused (false) when
    // the object already has a window or `window` is not one.
    bool Attach(HWND window);

    // The object attached to `window`, or null.
    static StaticControl* FromHandle(HWND window);

    // Called by the parent page for notifications this control caused.
    // A non-null brush answers the parent's WM_CTLCOLORSTATIC.
    HBRUSH ReflectCtlColor(HDC dc) { return OnReflectedCtlColor(dc); }
    // True when the control handled its own WM_COMMAND notification `code`.
    bool ReflectCommand(UINT code) { return OnReflectedCommand(code); }

  protected:
    // Reflected notifications; the defaults leave them to the parent.
    virtual HBRUSH OnReflectedCtlColor(HDC dc);
    virtual bool OnReflectedCommand(UINT code);

    // Window messages; the defaults hand them to the control's own procedure.
    virtual LRESULT OnPaint();
    virtual LRESULT OnEraseBackground(HDC dc);
    virtual LRESULT OnMouseMove(UINT keys, POINT point);
    virtual LRESULT OnTimer(UINT_PTR id);
    virtual LRESULT OnSetCursor(HWND window, UINT hitTest, UINT message);
    virtual void OnDestroy() {}

  private:
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone() override { Detach(); }
    void Detach();
};
