/* Stand-in for the viewer's plug-in libraries and the 32-bit scan bridge,
 * carried in the payload until the makers' plug-ins replace them. It does
 * nothing; it only answers the question what it is. */
#include <windows.h>

__declspec(dllexport) const wchar_t* __cdecl GetPlugInDescription(void) {
    return L"Pellumbra plug-in (stand-in)";
}
