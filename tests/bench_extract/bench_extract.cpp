// Measures the payload extraction against a bare minizip loop on one archive.
//
//   bench_extract.exe ARCHIVE [REPETITIONS]
//
// Each way runs in a child process of its own, so that each peak memory
// figure belongs to one way alone:
//   payload  -- ExtractPayloadFromModule: the archive as "ZIP" 1974 resource of
//               a module, written to the temporary file, extracted, deleted;
//   extract  -- ExtractArchiveFile: the same machinery from the archive file;
//   bare     -- a plain unzip loop over the same archive (same buffer size,
//               no name checks, no time stamps).
// Prints the best time of the repetitions, the ratio to the bare loop, the
// peak working set of each child (and that peak just before its first
// extraction) and its peak pagefile use. Nothing is
// asserted: the figures are for reading.
#include <windows.h>

#include <psapi.h>

#include <unzip.h>
// iowin32.h needs the declarations of unzip.h first.
#include <iowin32.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "engine/payload_extractor_win.h"
#include "resources/resource.h"

namespace {

constexpr unsigned kBufferBytes = 32768;

double Now() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = folder + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
}

// Files and bytes below a folder, to check that both ways wrote the same.
void CountTree(const std::wstring& folder, unsigned long long* files, unsigned long long* bytes) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CountTree(folder + L"\\" + name, files, bytes);
        } else {
            ++*files;
            *bytes += (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

// Creates the parent folders of a relative name ("a/b/c.txt" -> "a", "a/b").
void MakeParents(const std::wstring& name) {
    for (std::size_t i = 1; i < name.size(); ++i)
        if (name[i] == L'/' || name[i] == L'\\')
            CreateDirectoryW(name.substr(0, i).c_str(), nullptr);
}

// The plain loop a minizip sample would write.
bool BareExtract(const wchar_t* archivePath, const wchar_t* target) {
    zlib_filefunc64_def functions;
    fill_win32_filefunc64W(&functions);
    unzFile archive = unzOpen2_64(archivePath, &functions);
    if (!archive)
        return false;
    SetCurrentDirectoryW(target);
    std::vector<char> buffer(kBufferBytes);
    int status = unzGoToFirstFile(archive);
    while (status == UNZ_OK) {
        char name[520];
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
            UNZ_OK)
            break;
        wchar_t wide[324];
        if (MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 324) == 0)
            break;
        std::wstring path = wide;
        if (!path.empty() && path.back() == L'/') {
            MakeParents(path);
            CreateDirectoryW(path.c_str(), nullptr);
        } else if (unzOpenCurrentFile(archive) == UNZ_OK) {
            MakeParents(path);
            HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
            int got;
            while ((got = unzReadCurrentFile(archive, buffer.data(), kBufferBytes)) > 0) {
                DWORD written;
                WriteFile(out, buffer.data(), static_cast<DWORD>(got), &written, nullptr);
            }
            CloseHandle(out);
            unzCloseCurrentFile(archive);
        }
        status = unzGoToNextFile(archive);
    }
    unzClose(archive);
    return true;
}

// Writes a copy of this program carrying the archive as its "ZIP" 1974
// resource (done by the parent, so that the payload child's memory figures
// hold only the mapped module, as in the installer).
bool MakePayloadModule(const wchar_t* archivePath, std::wstring* modulePath) {
    HANDLE file =
        CreateFileW(archivePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> bytes(GetFileSize(file, nullptr));
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);

    wchar_t self[MAX_PATH], temp[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    *modulePath = std::wstring(temp) + L"pel-bench-module-" +
                  std::to_wstring(GetCurrentProcessId()) + L".exe";
    if (!CopyFileW(self, modulePath->c_str(), FALSE))
        return false;
    HANDLE update = BeginUpdateResourceW(modulePath->c_str(), FALSE);
    return update &&
           UpdateResourceW(update, L"ZIP", MAKEINTRESOURCEW(IDR_PAYLOAD),
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), bytes.data(), got) &&
           EndUpdateResourceW(update, FALSE);
}

// One way, repeated. For the payload way, archivePath names the module.
int RunPhase(const std::wstring& phase, const wchar_t* archivePath, int repetitions) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring target =
        std::wstring(temp) + L"pel-bench-" + std::to_wstring(GetCurrentProcessId());
    HMODULE module = nullptr;
    if (phase == L"payload") {
        module = LoadLibraryExW(archivePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module) {
            std::printf("error=cannot-load-module\n");
            return 1;
        }
    }
    wchar_t start[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, start);
    // The peak before any extraction: program, C runtime and, for the payload
    // way, the module that carries the archive.
    PROCESS_MEMORY_COUNTERS before = {};
    before.cb = sizeof before;
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);

    double best = 1e30;
    unsigned long long files = 0, bytes = 0;
    bool ok = true;
    for (int i = 0; i < repetitions && ok; ++i) {
        SetCurrentDirectoryW(start);
        RemoveTree(target);
        CreateDirectoryW(target.c_str(), nullptr);
        const std::wstring folder = target + L"\\";
        double t0 = Now();
        if (phase == L"payload")
            ok = ExtractPayloadFromModule(module, folder.c_str(), 0) == 0;
        else if (phase == L"extract")
            ok = ExtractArchiveFile(archivePath, folder.c_str(), 0) == 0;
        else
            ok = BareExtract(archivePath, folder.c_str());
        double t = Now() - t0;
        if (t < best)
            best = t;
        files = bytes = 0;
        CountTree(target, &files, &bytes);
    }
    SetCurrentDirectoryW(start);
    RemoveTree(target);
    if (module)
        FreeLibrary(module);

    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("ok=%d seconds=%.6f files=%llu bytes=%llu peak_ws=%llu peak_pagefile=%llu "
                "start_peak_ws=%llu\n",
                ok ? 1 : 0, best, files, bytes,
                static_cast<unsigned long long>(counters.PeakWorkingSetSize),
                static_cast<unsigned long long>(counters.PeakPagefileUsage),
                static_cast<unsigned long long>(before.PeakWorkingSetSize));
    return ok ? 0 : 1;
}

struct PhaseResult {
    bool ok = false;
    double seconds = 0;
    unsigned long long files = 0, bytes = 0, peakWs = 0, peakPagefile = 0, startPeakWs = 0;
};

// Runs this program again for one phase and reads its one-line report.
PhaseResult RunChild(const wchar_t* phase, const wchar_t* archivePath, int repetitions) {
    PhaseResult r;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return r;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --phase " + phase + L" \"" +
                           archivePath + L"\" " + std::to_wstring(repetitions);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    BOOL started =
        CreateProcessW(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char chunk[512];
        DWORD got = 0;
        while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0)
            output.append(chunk, got);
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(readEnd);
    int ok = 0;
    if (std::sscanf(output.c_str(),
                    "ok=%d seconds=%lf files=%llu bytes=%llu peak_ws=%llu peak_pagefile=%llu "
                    "start_peak_ws=%llu",
                    &ok, &r.seconds, &r.files, &r.bytes, &r.peakWs, &r.peakPagefile,
                    &r.startPeakWs) == 7)
        r.ok = ok != 0;
    else
        std::fprintf(stderr, "%ls: %s\n", phase, output.c_str());
    return r;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 5 && std::wcscmp(argv[1], L"--phase") == 0)
        return RunPhase(argv[2], argv[3], _wtoi(argv[4]));
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_extract ARCHIVE [REPETITIONS]\n");
        return 2;
    }
    const wchar_t* archive = argv[1];
    int repetitions = argc >= 3 ? _wtoi(argv[2]) : 5;
    if (repetitions < 1)
        repetitions = 1;

    const wchar_t* phases[] = {L"bare", L"extract", L"payload"};
    PhaseResult results[3];
    std::wstring modulePath;
    bool haveModule = MakePayloadModule(archive, &modulePath);
    for (int i = 0; i < 3; ++i) {
        if (i == 2 && !haveModule)
            break;
        results[i] = RunChild(phases[i], i == 2 ? modulePath.c_str() : archive, repetitions);
    }
    if (!modulePath.empty())
        DeleteFileW(modulePath.c_str());

    std::printf("archive: %ls (best of %d)\n", archive, repetitions);
    std::printf("%-8s %10s %8s %8s %12s %12s %14s %18s\n", "way", "seconds", "ratio", "files",
                "bytes", "peak WS KiB", "before it KiB", "peak pagefile KiB");
    for (int i = 0; i < 3; ++i) {
        const PhaseResult& r = results[i];
        if (!r.ok) {
            std::printf("%-8ls failed\n", phases[i]);
            continue;
        }
        double ratio = results[0].ok && results[0].seconds > 0 ? r.seconds / results[0].seconds : 0;
        std::printf("%-8ls %10.4f %8.2f %8llu %12llu %12llu %14llu %18llu\n", phases[i], r.seconds,
                    ratio, r.files, r.bytes, r.peakWs / 1024, r.startPeakWs / 1024,
                    r.peakPagefile / 1024);
    }
    bool same = results[0].ok && results[1].ok && results[0].files == results[1].files &&
                results[0].bytes == results[1].bytes;
    std::printf("same files and bytes as the bare loop: %s\n", same ? "yes" : "NO");
    return 0;
}
