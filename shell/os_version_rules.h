// The rule that reduces a Windows release to the installer's version class.
// Plain numbers in, a class out: the platform calls that supply the numbers
// live in os_version_win.cpp.
#pragma once

// Version classes. Codes 2, 3, 4 and 9 are never produced.
constexpr int kOsClassOlder = 0;       // below 5.1
constexpr int kOsClassXpBeforeSp3 = 1; // 5.1 below service pack 3
constexpr int kOsClassXp = 5;          // 5.1 with service pack 3, every 5.2
constexpr int kOsClassVista = 6;       // 6.0
constexpr int kOsClassWindows7 = 7;    // 6.1
constexpr int kOsClassWindows8 = 8;    // 6.2 and 6.3
constexpr int kOsClassWindows10 = 10;  // 10.0 below build 22000
constexpr int kOsClassWindows11 = 11;  // 10.0 from build 22000

constexpr unsigned long kFirstWindows11Build = 22000;

// The numbers a release reports about itself.
struct ReportedVersion {
    unsigned long Major;
    unsigned long Minor;
    unsigned long Build;
    unsigned short ServicePackMajor;
};

// Compares in order of rank, as VerifyVersionInfoW does for major, minor and
// service pack with "greater or equal": a higher major passes whatever the
// minor, a higher minor passes whatever the service pack.
bool ReportedVersionAtLeast(const ReportedVersion& version, unsigned short major,
                            unsigned short minor, unsigned short servicePackMajor);

// The at-least test the rule asks. The platform answers it with VerifyVersionInfoW.
using VersionAtLeastTest = bool (*)(void* context, unsigned short major, unsigned short minor,
                                    unsigned short servicePackMajor);

// The classification: the exact numbers decide Windows 10 and 11 when they are
// known (haveExact) and name major 10 or higher; below that the chain of
// at-least tests decides, from Windows 8 down.
int ClassifyVersion(bool haveExact, unsigned long exactMajor, unsigned long exactBuild,
                    VersionAtLeastTest atLeast, void* context);

// The classification of a release that reports these numbers everywhere.
int ClassifyReportedVersion(const ReportedVersion& version);

// The process-wide cache rule: a cache of 0 is computed (again) with classify,
// any other value is returned as it is.
int ReadCachedVersionClass(int* cache, int (*classify)());
