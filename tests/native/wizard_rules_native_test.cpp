// The wizard's text rules where wchar_t has 32 bits: the change history comes
// as UTF-16LE bytes and must arrive as the same characters.
#include "wizard/wizard_rules.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

namespace {

bool LetterOrDigit(wchar_t c) {
    return std::iswalnum(static_cast<wint_t>(c)) != 0;
}

std::vector<unsigned char> Utf16Le(const std::u16string& text) {
    std::vector<unsigned char> bytes;
    for (char16_t u : text) {
        bytes.push_back(static_cast<unsigned char>(u & 0xFF));
        bytes.push_back(static_cast<unsigned char>(u >> 8));
    }
    return bytes;
}

} // namespace

TEST(NativeWhatsNew, TakesTheResourceUnitByUnit) {
    std::vector<unsigned char> data = Utf16Le(u"\uFEFFNeu: \u00C4nderungen installieren\r\n  ");
    std::vector<wchar_t> buffer(kWhatsNewChars, L'#');
    PrepareWhatsNewText(data.data(), data.size(), buffer.data(), buffer.size(), [](wchar_t c) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    });
    EXPECT_EQ(std::wstring(buffer.data()), L"\uFEFFNeu: \u00C4nderungen installieren");
    EXPECT_EQ(buffer.back(), L'\0');
}

// At most bufferChars - 1 units are taken, an odd last byte is no unit, and
// nothing past the data is read.
TEST(NativeWhatsNew, CutsAtTheBufferAndTheLastWholeUnit) {
    std::vector<unsigned char> data = Utf16Le(u"abcdef");
    data.push_back('g');
    std::vector<wchar_t> small(4, L'#');
    PrepareWhatsNewText(data.data(), data.size(), small.data(), small.size(), LetterOrDigit);
    EXPECT_EQ(std::wstring(small.data()), L"abc");
    std::vector<wchar_t> large(16, L'#');
    PrepareWhatsNewText(data.data(), data.size(), large.data(), large.size(), LetterOrDigit);
    EXPECT_EQ(std::wstring(large.data()), L"abcdef");
}
