// A small Windows program the robustness tests run inside a test prefix to
// put the installer in a hard spot and to measure it.
//
//   robust_helper run CMDLINE            run CMDLINE (exactly that command line),
//                                        wait, print its exit code and peak memory
//   robust_helper lock-run FILE CMDLINE  hold FILE open without any sharing while
//                                        CMDLINE runs, then print as "run"
//   robust_helper deny-write KEY         HKLM\KEY and every key below it: read
//                                        access only, for everybody
//   robust_helper can-write KEY          exit 0 when HKLM\KEY opens for setting
//                                        values, 1 when that is refused
// Output is one "key=value" per line. Exit 0 on success.
#include <windows.h>

#include <aclapi.h>
#include <psapi.h>

#include <string>

namespace {

void Print(const std::wstring& text) {
    std::string bytes(text.begin(), text.end()); // the values printed are ASCII
    bytes += "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

// Runs the command line and reports what the process used at its peak. The
// figures are read while it runs (Wine has none for a process that has
// ended); the peak counters only grow, so the last reading is the peak.
int RunMeasured(const wchar_t* commandLine) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 9;
    SIZE_T peakWorkingSet = 0;
    SIZE_T peakPagefile = 0;
    for (;;) {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters)) {
            if (counters.PeakWorkingSetSize > peakWorkingSet)
                peakWorkingSet = counters.PeakWorkingSetSize;
            if (counters.PeakPagefileUsage > peakPagefile)
                peakPagefile = counters.PeakPagefileUsage;
        }
        if (WaitForSingleObject(pi.hProcess, 5) != WAIT_TIMEOUT)
            break;
    }
    DWORD code = 9998;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Print(L"peak_working_set_kb=" + std::to_wstring(peakWorkingSet / 1024));
    Print(L"peak_pagefile_kb=" + std::to_wstring(peakPagefile / 1024));
    Print(L"exit=" + std::to_wstring(code));
    return 0;
}

// Read access for everybody and nothing else, on the key and all below it.
// The keys below are done first: once a key is read-only its subkeys can
// still be opened for changing their own security.
bool DenyWrite(HKEY parent, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        ok = DenyWrite(key, name) && ok;
    }
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everybody = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everybody);
    EXPLICIT_ACCESSW access = {};
    access.grfAccessPermissions = KEY_READ;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = static_cast<LPWSTR>(everybody);
    PACL acl = nullptr;
    if (SetEntriesInAclW(1, &access, nullptr, &acl) != ERROR_SUCCESS)
        ok = false;
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
    if (RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) != ERROR_SUCCESS)
        ok = false;
    LocalFree(acl);
    FreeSid(everybody);
    RegCloseKey(key);
    return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    std::wstring cmd = argv[1];
    if (cmd == L"run" && argc == 3)
        return RunMeasured(argv[2]);
    if (cmd == L"lock-run" && argc == 4) {
        HANDLE file = CreateFileW(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 3;
        // A second open must fail now, or the lock proves nothing.
        HANDLE probe = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        Print(std::wstring(L"locked=") + (probe == INVALID_HANDLE_VALUE ? L"1" : L"0"));
        if (probe != INVALID_HANDLE_VALUE)
            CloseHandle(probe);
        int rc = RunMeasured(argv[3]);
        CloseHandle(file);
        return rc;
    }
    if (cmd == L"deny-write" && argc == 3)
        return DenyWrite(HKEY_LOCAL_MACHINE, argv[2]) ? 0 : 1;
    if (cmd == L"can-write" && argc == 3) {
        HKEY key = nullptr;
        LONG r = RegOpenKeyExW(HKEY_LOCAL_MACHINE, argv[2], 0, KEY_SET_VALUE, &key);
        if (r == ERROR_SUCCESS)
            RegCloseKey(key);
        Print(L"open=" + std::to_wstring(r));
        return r == ERROR_SUCCESS ? 0 : 1;
    }
    return 2;
}
