/* The viewer's icon library (Plugins/Icons.dll), stand-in edition: the ten
 * viewer icons and a version record. The installer reads its product version
 * 4.3 and file version x.x.0 as "4.30" and its company "Marrowick" to decide
 * whether an existing copy may be replaced. No code of its own. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
