// Wide and UTF-8 text conversions for test output and expectations.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

// UTF-8 forms of wide names, sorted (for readable comparisons of name lists).
inline std::vector<std::string> Utf8Sorted(const std::vector<std::wstring>& names) {
    std::vector<std::string> out;
    for (const std::wstring& n : names)
        out.push_back(Utf8(n));
    std::sort(out.begin(), out.end());
    return out;
}
