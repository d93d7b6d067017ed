#include "support/registry_dump.h"

#include "support/wide_print.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string DescribeValue(DWORD type, const BYTE* data, DWORD size) {
    char head[64];
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        std::snprintf(head, sizeof head, "%s(%lu) ", type == REG_SZ ? "REG_SZ" : "REG_EXPAND_SZ",
                      static_cast<unsigned long>(size));
        return head + Utf8(text);
    }
    if (type == REG_DWORD && size == 4) {
        DWORD v;
        memcpy(&v, data, 4);
        std::snprintf(head, sizeof head, "REG_DWORD %lu", static_cast<unsigned long>(v));
        return head;
    }
    std::string out;
    std::snprintf(head, sizeof head, "TYPE%lu(%lu)", static_cast<unsigned long>(type),
                  static_cast<unsigned long>(size));
    out = head;
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(head, sizeof head, " %02x", data[i]);
        out += head;
    }
    return out;
}

void Walk(HKEY key, const std::wstring& rel, std::vector<std::string>* lines) {
    lines->push_back("[" + Utf8(rel) + "]");
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLen = 512;
        BYTE data[8192];
        DWORD size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        std::string n = nameLen == 0 ? "@" : Utf8(name);
        lines->push_back("[" + Utf8(rel) + "] " + n + " = " + DescribeValue(type, data, size));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLen = 512;
        if (RegEnumKeyExW(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            Walk(sub, rel.empty() ? std::wstring(name) : rel + L"\\" + name, lines);
            RegCloseKey(sub);
        }
    }
}

}  // namespace

std::vector<std::string> DumpRegistryTree(HKEY root, const std::wstring& path) {
    std::vector<std::string> lines;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return lines;
    Walk(key, L"", &lines);
    RegCloseKey(key);
    std::sort(lines.begin(), lines.end());
    return lines;
}
