#include "shell/os_version.h"

#include <windows.h>

namespace {

// The process-wide class; 0 until the first consumer asks.
int g_osVersionClass = 0;

// The record sizes the version calls are documented with.
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "OSVERSIONINFOEXW");
static_assert(sizeof(OSVERSIONINFOW) == 276, "OSVERSIONINFOW");

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

bool AtLeastOnThisSystem(void*, unsigned short major, unsigned short minor,
                         unsigned short servicePackMajor) {
    return IsVersionAtLeast(major, minor, servicePackMajor);
}

} // namespace

bool IsVersionAtLeast(unsigned short major, unsigned short minor, unsigned short servicePackMajor) {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.wServicePackMajor = servicePackMajor;
    DWORDLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                              mask) != FALSE;
}

// RtlGetVersion is asked first because it reports the true release whatever the
// manifest declares; VerifyVersionInfoW answers for everything below Windows 10.
int ClassifyWindowsVersion() {
    bool haveExact = false;
    OSVERSIONINFOW exact = {};
    exact.dwOSVersionInfoSize = sizeof exact;
    HMODULE ntdll = GetModuleHandleA("ntdll");
    if (ntdll) {
        auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
        if (rtlGetVersion) {
            rtlGetVersion(&exact);
            haveExact = true;
        }
    }
    return ClassifyVersion(haveExact, exact.dwMajorVersion, exact.dwBuildNumber,
                           AtLeastOnThisSystem, nullptr);
}

int GetOsVersionClass() {
    return ReadCachedVersionClass(&g_osVersionClass, ClassifyWindowsVersion);
}

void SetOsVersionClassForTesting(int osClass) {
    g_osVersionClass = osClass;
}
