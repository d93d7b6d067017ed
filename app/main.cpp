#include "app/the_app.h"

#include <windows.h>

// The application object; its start-up routine is the whole program.
TheApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return RunApp(instance);
}
