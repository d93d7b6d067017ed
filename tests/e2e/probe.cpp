// A small Windows program the end-to-end tests run inside a test prefix to look
// at what an installation left: shortcut files, shell folders, the viewer.
//
//   probe lnk PATH              the shortcut's target, arguments, icon, description
//   probe folder CSIDL          a shell folder's path
//   probe open FILE [VERB]      ShellExecuteW, wait for the viewer's window, close it
//   probe viewer-start EXE      start the viewer and wait until its window exists
//   probe viewer-close          close every viewer window and wait for it to go
//   probe run COMMANDLINE       CreateProcessW with exactly that command line;
//                               prints the program's exit code as "exit=N"
//                               (a Unix exit status would keep 8 bits of it)
// Output is UTF-8, one "key=value" per line. Exit 0 on success.
#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>

#include <string>

namespace {

void Print(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n,
                        nullptr, nullptr);
    bytes += "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

int ReadLink(const wchar_t* path) {
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    int rc = 1;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(path, STGM_READ))) {
                wchar_t buf[1024] = {};
                int index = 0;
                link->GetPath(buf, 1024, nullptr, SLGP_RAWPATH);
                Print(std::wstring(L"path=") + buf);
                buf[0] = 0;
                link->GetArguments(buf, 1024);
                Print(std::wstring(L"args=") + buf);
                buf[0] = 0;
                link->GetIconLocation(buf, 1024, &index);
                Print(std::wstring(L"icon=") + buf + L"," + std::to_wstring(index));
                buf[0] = 0;
                link->GetDescription(buf, 1024);
                Print(std::wstring(L"desc=") + buf);
                rc = 0;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return rc;
}

HWND WaitForViewer(DWORD ms) {
    for (DWORD waited = 0; waited <= ms; waited += 100) {
        if (HWND w = FindWindowW(L"Pellumbra", nullptr))
            return w;
        Sleep(100);
    }
    return nullptr;
}

int CloseViewers() {
    for (int i = 0; i < 100; ++i) {
        HWND w = FindWindowW(L"Pellumbra", nullptr);
        if (!w)
            return 0;
        PostMessageW(w, WM_CLOSE, 0, 0);
        Sleep(100);
    }
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    std::wstring cmd = argv[1];
    if (cmd == L"lnk" && argc == 3)
        return ReadLink(argv[2]);
    if (cmd == L"folder" && argc == 3) {
        wchar_t path[MAX_PATH] = {};
        if (!SHGetSpecialFolderPathW(nullptr, path, _wtoi(argv[2]), FALSE))
            return 1;
        Print(std::wstring(L"folder=") + path);
        return 0;
    }
    if (cmd == L"open" && (argc == 3 || argc == 4)) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        HINSTANCE r = ShellExecuteW(nullptr, argc == 4 ? argv[3] : L"open", argv[2], nullptr,
                                    nullptr, SW_SHOW);
        if (reinterpret_cast<INT_PTR>(r) <= 32)
            return 3;
        if (!WaitForViewer(15000))
            return 4;
        return CloseViewers();
    }
    if (cmd == L"viewer-start" && argc == 3) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::wstring line = L"\"" + std::wstring(argv[2]) + L"\"";
        if (!CreateProcessW(argv[2], &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return 3;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return WaitForViewer(15000) ? 0 : 4;
    }
    if (cmd == L"viewer-close")
        return CloseViewers();
    if (cmd == L"run" && argc == 3) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::wstring line = argv[2];
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return 9999;
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 9998;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        Print(L"exit=" + std::to_wstring(code));
        return 0;
    }
    return 2;
}
