// Started by the Windows-release test under each release Wine pretends to be.
//   shell_version_probe class            exit code: the version class
//   shell_version_probe group FOLDER     writes the start-menu group's shortcuts
//                                        into FOLDER; exit code: the class
#include "shell/os_version.h"
#include "shell/shortcuts.h"

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wcscmp(argv[1], L"class") == 0) {
        const int osClass = GetOsVersionClass();
        std::printf("class %d\n", osClass);
        return osClass;
    }
    if (argc >= 3 && std::wcscmp(argv[1], L"group") == 0) {
        const int osClass = GetOsVersionClass();
        WriteGroupShortcuts(argv[2], L"C:\\Programme\\Pellumbra\\", osClass);
        return osClass;
    }
    std::fprintf(stderr, "usage: shell_version_probe class | group FOLDER\n");
    return 100;
}
