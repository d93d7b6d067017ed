// A stand-in for the Windows folder's help program, carrying cursor 106.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
