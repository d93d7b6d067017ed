// Wide and UTF-8 text conversions for test output and expectations.
#pragma once

#include <string>
#include <vector>

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

// UTF-8 forms of wide names, sorted (for readable comparisons of name lists).
std::vector<std::string> Utf8Sorted(const std::vector<std::wstring>& names);
