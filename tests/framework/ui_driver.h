// Drives a modal window from a second thread of the test process.
//
// The test's main thread runs the modal loop (a sheet's DoModal); the steps
// of the test run on a driver thread. The driver runs code on the user-
// interface thread with OnUi (synchronously, between the loop's messages),
// and posts clicks that open modal boxes, so that it stays free to answer
// them.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

class UiDriver {
  public:
    // Runs `modal` on this thread and `steps` on a driver thread; returns when
    // both have ended. A modal run still open after the steps is ended (with
    // a test failure), so a failed step never hangs the test.
    static void Run(const std::function<void()>& modal,
                    const std::function<void(UiDriver&)>& steps);

    // Runs `fn` on the user-interface thread and waits for it.
    void OnUi(const std::function<void()>& fn);
    template <typename T> T Query(const std::function<T()>& fn) {
        T value{};
        OnUi([&] { value = fn(); });
        return value;
    }

    // Polls `condition` (on the driver thread) until it holds; false on timeout.
    static bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

    // A visible top-level dialog (#32770) of the user-interface thread other
    // than `except`, or null.
    HWND FindDialog(HWND except) const;
    // Waits for such a dialog.
    HWND WaitForDialog(HWND except, int timeoutMs = 5000) const;
    // Presses a button of a message box (IDYES, IDNO, ...), posted.
    static void Answer(HWND box, int buttonId);

    bool ModalEnded() const { return modalEnded_.load(); }
    DWORD UiThreadId() const { return uiThread_; }

  private:
    HWND invoker_ = nullptr;
    DWORD uiThread_ = 0;
    std::atomic<bool> modalEnded_{false};
};

// Processes the calling thread's messages for about `ms` milliseconds.
void PumpMessages(int ms);
