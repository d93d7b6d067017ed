// The Windows release as the native build sees it: no Windows at all. Stands
// in for shell/os_version_win.cpp so that the version rules and the process
// cache run here; every at-least test fails, so the class is the one of an
// unknown release.
#include "shell/os_version.h"

namespace {

int g_osVersionClass = 0;

bool NeverAtLeast(void*, unsigned short, unsigned short, unsigned short) {
    return false;
}

} // namespace

bool IsVersionAtLeast(unsigned short, unsigned short, unsigned short) {
    return false;
}

int ClassifyWindowsVersion() {
    return ClassifyVersion(false, 0, 0, NeverAtLeast, nullptr);
}

int GetOsVersionClass() {
    return ReadCachedVersionClass(&g_osVersionClass, ClassifyWindowsVersion);
}

void SetOsVersionClassForTesting(int osClass) {
    g_osVersionClass = osClass;
}
