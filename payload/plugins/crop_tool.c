/* Stand-in for the viewer's lossless crop helper program, carried in the
 * payload until the makers' one replaces it. It ends at once with success. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    return 0;
}
