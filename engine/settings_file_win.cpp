#include "engine/settings_file.h"

#include <windows.h>

#include "engine/win_handles.h"

namespace {

constexpr std::size_t kProfileValueChars = 260;

struct DisplayDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC dc) { DeleteDC(dc); }
};
using UniqueDisplayDc = UniqueHandle<HDC, DisplayDcTraits>;

// A null file name would make the profile functions use win.ini.
void WriteKey(const wchar_t* file, const wchar_t* section, const wchar_t* key,
              const wchar_t* value) {
    if (file && file[0] != L'\0')
        WritePrivateProfileStringW(section, key, value, file);
}

struct ConversionFiles {
    std::FILE* source;
    HANDLE target;
    UINT codePage;
};

long ReadSource(void* context, unsigned char* buffer, std::size_t capacity) {
    std::FILE* source = static_cast<ConversionFiles*>(context)->source;
    std::size_t got = std::fread(buffer, 1, capacity, source);
    if (got == 0 && std::ferror(source))
        return -1;
    return static_cast<long>(got);
}

bool WriteTarget(void* context, const void* bytes, std::size_t count) {
    DWORD written = 0;
    return WriteFile(static_cast<ConversionFiles*>(context)->target, bytes,
                     static_cast<DWORD>(count), &written, nullptr) &&
           written == count;
}

long ConvertChunk(void* context, const unsigned char* bytes, std::size_t count, char16_t* out,
                  std::size_t capacity) {
    wchar_t wide[kSettingsChunkUnits];
    if (capacity > kSettingsChunkUnits)
        capacity = kSettingsChunkUnits;
    int units = MultiByteToWideChar(static_cast<ConversionFiles*>(context)->codePage, 0,
                                    reinterpret_cast<const char*>(bytes), static_cast<int>(count),
                                    wide, static_cast<int>(capacity));
    if (units <= 0)
        return -1;
    for (int i = 0; i < units; ++i)
        out[i] = static_cast<char16_t>(wide[i]);
    return units;
}

// Character lengths of the ANSI code page: double-byte leads take two bytes.
void FillAnsiCharLengths(unsigned char* charLengths) {
    UINT codePage = GetACP();
    if (codePage == CP_UTF8) {
        FillUtf8CharLengths(charLengths);
        return;
    }
    for (int b = 0; b < 256; ++b)
        charLengths[b] = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(b)) ? 2 : 1;
}

} // namespace

ToolbarChoice ChooseToolbarSkin() {
    int scale = 100;
    UniqueDisplayDc dc(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (dc)
        scale = ScalePercentFromDpi(GetDeviceCaps(dc.get(), LOGPIXELSX));
    return ChooseToolbarSkinFor(GetSystemMetrics(SM_CYFULLSCREEN), scale);
}

void PrepareSettingsFile(const wchar_t* installFolderSettingsFile, const wchar_t* iniFolder,
                         const wchar_t* settingsFile) {
    bool haveIniFolder = iniFolder && iniFolder[0] != L'\0';
    WriteKey(installFolderSettingsFile, L"Others", L"INI_Folder",
             haveIniFolder ? iniFolder : nullptr);

    bool portable = IsPortableLayout(iniFolder, settingsFile);
    WriteKey(settingsFile, L"Language", L"DLL", L"DEUTSCH.DLL");
    WriteKey(settingsFile, L"Language", L"Lang", L"Deutsch");
    if (portable) {
        WriteKey(installFolderSettingsFile, L"Language", L"DefaultLang", L"DEUTSCH.DLL");
        WriteKey(installFolderSettingsFile, L"Language", L"Lang", L"Deutsch");
    }

    // The user's toolbar choice of an earlier installation is never changed.
    if (!settingsFile || settingsFile[0] == L'\0')
        return;
    wchar_t skin[kProfileValueChars] = {};
    GetPrivateProfileStringW(L"Toolbar", L"Skin", L"", skin, static_cast<DWORD>(kProfileValueChars),
                             settingsFile);
    if (skin[0] != L'\0')
        return;

    ToolbarChoice choice = ChooseToolbarSkin();
    WriteKey(settingsFile, L"Toolbar", L"Skin", choice.skin);
    WriteKey(settingsFile, L"Toolbar", L"Size", choice.size);
    if (portable) {
        WriteKey(installFolderSettingsFile, L"Toolbar", L"Skin", L"Ember_24.png");
        WriteKey(installFolderSettingsFile, L"Toolbar", L"Size", L"24");
    }
}

int ConvertSettingsToUnicode(const wchar_t* settingsFile, std::FILE* source) {
    if (!source)
        return 0;
    unsigned char head[3] = {};
    std::size_t got = std::fread(head, 1, sizeof head, source);
    SettingsEncoding encoding = DetectSettingsEncoding(head, got);
    if (encoding == SettingsEncoding::Utf16) {
        std::fclose(source);
        return 1;
    }
    wchar_t tempPath[kSettingsTempPathChars];
    if (!settingsFile ||
        std::fseek(source, encoding == SettingsEncoding::Utf8WithBom ? 3 : 0, SEEK_SET) != 0 ||
        !BuildSettingsTempPath(settingsFile, tempPath, kSettingsTempPathChars)) {
        std::fclose(source);
        return 0;
    }

    long chunks = -1;
    {
        UniqueFile target(CreateFileW(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!target) {
            std::fclose(source);
            return 0;
        }
        unsigned char charLengths[256];
        ConversionFiles files = {source, target.get(), CP_ACP};
        if (encoding == SettingsEncoding::Utf8WithBom) {
            files.codePage = CP_UTF8;
            FillUtf8CharLengths(charLengths);
        } else {
            FillAnsiCharLengths(charLengths);
        }
        SettingsConversionIo io = {&files, ReadSource, WriteTarget, ConvertChunk, charLengths};
        chunks = ConvertSettingsStream(io);
        std::fclose(source);
        if (chunks > 0 && !FlushFileBuffers(target.get()))
            chunks = -1;
    }

    // A half-written copy must never replace the settings; an empty source
    // has nothing to convert.
    if (chunks <= 0) {
        DeleteFileW(tempPath);
        return chunks == 0 ? 1 : 0;
    }
    return MoveFileExW(tempPath, settingsFile, MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
}
