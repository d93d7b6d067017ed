/* The viewer's German language library (Languages/Deutsch.dll), stand-in
 * edition: a few German interface texts and a version record. No code of its
 * own. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
