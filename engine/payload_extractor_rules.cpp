#include "engine/payload_extractor_rules.h"

#include <cstring>
#include <cwchar>

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'/' || c == L'\\';
}

wchar_t FoldAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Compares a component's base (before its first dot, trailing blanks dropped)
// with one reserved device name, ASCII letters in any case.
bool BaseEquals(const wchar_t* base, std::size_t length, const wchar_t* device) {
    std::size_t n = std::wcslen(device);
    if (length != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (FoldAscii(base[i]) != device[i])
            return false;
    return true;
}

// Windows opens a device instead of a file for these names, whatever the
// extension and the folder: "NUL.txt" and "sub/CON" never reach the disk.
bool IsDeviceName(const wchar_t* component, std::size_t length) {
    std::size_t base = 0;
    while (base < length && component[base] != L'.')
        ++base;
    while (base > 0 && component[base - 1] == L' ')
        --base;
    static const wchar_t* const kDevices[] = {L"CON",    L"PRN",     L"AUX",   L"NUL",
                                              L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* device : kDevices)
        if (BaseEquals(component, base, device))
            return true;
    if (base == 4 && (BaseEquals(component, 3, L"COM") || BaseEquals(component, 3, L"LPT"))) {
        wchar_t digit = component[3];
        if ((digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
            digit == L'\u00B3')
            return true;
    }
    return false;
}

bool IsDotsAndBlanksOnly(const wchar_t* component, std::size_t length) {
    if (length == 0)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (component[i] != L'.' && component[i] != L' ')
            return false;
    return true;
}

bool IsRefusedCharacter(wchar_t c) {
    return c < 0x20 || c == L':' || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' ||
           c == L'*';
}

} // namespace

bool IsIconsLibraryEntry(const char* entryName) {
    static const char kNeedle[] = "icons.dll";
    const std::size_t needle = sizeof kNeedle - 1;
    std::size_t n = entryName ? std::strlen(entryName) : 0;
    for (std::size_t start = 0; start + needle <= n; ++start) {
        std::size_t i = 0;
        while (i < needle) {
            char c = entryName[start + i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != kNeedle[i])
                break;
            ++i;
        }
        if (i == needle)
            return true;
    }
    return false;
}

const wchar_t* EntryNamePart(const wchar_t* entryName) {
    const wchar_t* part = entryName;
    for (const wchar_t* p = entryName; *p; ++p)
        if (IsSeparator(*p))
            part = p + 1;
    return part;
}

std::size_t EntryFolderLength(const wchar_t* entryName) {
    const wchar_t* part = EntryNamePart(entryName);
    return part == entryName ? 0 : static_cast<std::size_t>(part - entryName - 1);
}

bool IsEntryNameSafe(const wchar_t* entryName) {
    if (!entryName || entryName[0] == L'\0' || IsSeparator(entryName[0]))
        return false;
    for (const wchar_t* p = entryName; *p; ++p)
        if (IsRefusedCharacter(*p))
            return false;
    const wchar_t* component = entryName;
    for (const wchar_t* p = entryName;; ++p) {
        if (*p == L'\0' || IsSeparator(*p)) {
            std::size_t length = static_cast<std::size_t>(p - component);
            if (IsDotsAndBlanksOnly(component, length) || IsDeviceName(component, length))
                return false;
            if (*p == L'\0')
                break;
            component = p + 1;
        }
    }
    return true;
}
