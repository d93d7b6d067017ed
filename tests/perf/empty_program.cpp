// A Windows program that does nothing: what starting any program of this
// toolchain costs, the baseline of the installer's own time and memory.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
