// Which Windows release the installer runs on, as the small class number that
// the file-type page, the settings location, the start-menu group and the
// association refresh decide by (classes in shell/os_version_rules.h).
#pragma once

#include "shell/os_version_rules.h"

// True when the running Windows is at least major.minor with the given service
// pack, compared in order of rank (VerifyVersionInfoW).
bool IsVersionAtLeast(unsigned short major, unsigned short minor, unsigned short servicePackMajor);

// Classifies the running release: RtlGetVersion for Windows 10 and 11, the
// at-least chain for everything older. Asks Windows every time it is called.
int ClassifyWindowsVersion();

// The process-wide class, computed by the first caller and reused afterwards
// (a class of 0 is computed again at every use).
int GetOsVersionClass();

// Tests only: puts a class into the process-wide cache; 0 empties it, so the
// next caller classifies the running release again.
void SetOsVersionClassForTesting(int osClass);
