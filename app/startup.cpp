#include "app/startup.h"

#include <cwchar>

bool IsSilentCommandLine(const wchar_t* commandLine) {
    return commandLine && std::wcsstr(commandLine, L"/silent") != nullptr;
}
