// Wide and UTF-8 text conversions for test output and expectations.
#pragma once

#include <string>

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);
