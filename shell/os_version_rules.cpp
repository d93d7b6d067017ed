#include "shell/os_version_rules.h"

bool ReportedVersionAtLeast(const ReportedVersion& version, unsigned short major,
                            unsigned short minor, unsigned short servicePackMajor) {
    if (version.Major != major)
        return version.Major > major;
    if (version.Minor != minor)
        return version.Minor > minor;
    return version.ServicePackMajor >= servicePackMajor;
}

int ClassifyVersion(bool haveExact, unsigned long exactMajor, unsigned long exactBuild,
                    VersionAtLeastTest atLeast, void* context) {
    if (haveExact && exactMajor >= 10)
        return exactBuild >= kFirstWindows11Build ? kOsClassWindows11 : kOsClassWindows10;
    if (atLeast(context, 6, 2, 0))
        return kOsClassWindows8;
    if (atLeast(context, 6, 1, 0))
        return kOsClassWindows7;
    if (atLeast(context, 6, 0, 0))
        return kOsClassVista;
    if (!atLeast(context, 5, 1, 0))
        return kOsClassOlder;
    if (atLeast(context, 5, 1, 3))
        return kOsClassXp;
    return kOsClassXpBeforeSp3;
}

namespace {

bool AtLeastReported(void* context, unsigned short major, unsigned short minor,
                     unsigned short servicePackMajor) {
    return ReportedVersionAtLeast(*static_cast<const ReportedVersion*>(context), major, minor,
                                  servicePackMajor);
}

} // namespace

int ClassifyReportedVersion(const ReportedVersion& version) {
    ReportedVersion copy = version;
    return ClassifyVersion(true, version.Major, version.Build, AtLeastReported, &copy);
}

int ReadCachedVersionClass(int* cache, int (*classify)()) {
    if (*cache == 0)
        *cache = classify();
    return *cache;
}
