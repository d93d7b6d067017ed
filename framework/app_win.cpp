#include "framework/app.h"

namespace {
App* g_app = nullptr;
}

App::App() {
    if (!g_app)
        g_app = this;
}

App::~App() {
    if (g_app == this)
        g_app = nullptr;
}

App* CurrentApp() {
    return g_app;
}

int RunApp(HINSTANCE instance) {
    App* app = g_app;
    if (!app)
        return 0;
    app->instance_ = instance;
    if (!app->InitInstance())
        return app->exitCode_;
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
