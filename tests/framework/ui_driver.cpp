#include "ui_driver.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr UINT kInvoke = WM_APP + 1;
constexpr wchar_t kInvokerClass[] = L"PelTestInvoker";

LRESULT CALLBACK InvokerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kInvoke) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

HWND CreateInvoker() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = InvokerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kInvokerClass;
    RegisterClassW(&wc); // fails harmlessly when already registered
    return CreateWindowExW(0, kInvokerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

struct FindState {
    HWND except;
    HWND found;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM lParam) {
    FindState* state = reinterpret_cast<FindState*>(lParam);
    wchar_t cls[16] = {};
    GetClassNameW(window, cls, 16);
    if (window != state->except && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(window)) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void PumpMessages(int ms) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DWORD now = GetTickCount();
        if (static_cast<int>(end - now) <= 0)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

void UiDriver::Run(const std::function<void()>& modal,
                   const std::function<void(UiDriver&)>& steps) {
    UiDriver driver;
    driver.uiThread_ = GetCurrentThreadId();
    driver.invoker_ = CreateInvoker();
    ASSERT_NE(driver.invoker_, nullptr);
    std::atomic<bool> stepsDone{false};

    std::thread worker([&] {
        steps(driver);
        if (!WaitFor([&] { return driver.ModalEnded(); }, 3000)) {
            ADD_FAILURE() << "the modal window was still open after the test steps";
            PostThreadMessageW(driver.uiThread_, WM_QUIT, 0, 0);
        }
        stepsDone = true;
    });

    modal();
    driver.modalEnded_ = true;
    // The driver may still ask for the user-interface thread until it ends.
    while (!stepsDone.load())
        PumpMessages(10);
    worker.join();
    // A quit message that ended the loop must not end the next test's loop.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    DestroyWindow(driver.invoker_);
}

void UiDriver::OnUi(const std::function<void()>& fn) {
    SendMessageW(invoker_, kInvoke, 0, reinterpret_cast<LPARAM>(&fn));
}

bool UiDriver::WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return false;
        Sleep(10);
    }
}

HWND UiDriver::FindDialog(HWND except) const {
    FindState state = {except, nullptr};
    EnumThreadWindows(uiThread_, FindDialogProc, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND UiDriver::WaitForDialog(HWND except, int timeoutMs) const {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindDialog(except)) != nullptr; }, timeoutMs);
    return found;
}

void UiDriver::Answer(HWND box, int buttonId) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}
