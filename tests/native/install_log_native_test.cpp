// The log's bytes on a platform whose wchar_t has 32 bits: a character beyond
// U+FFFF is one '?' whether it comes as one unit or as a surrogate pair.
#include "engine/install_log.h"

#include <gtest/gtest.h>

#include <string>

TEST(NativeLogEntry, CharactersBeyondLatin1) {
    const std::string tail = "\r\n" + std::string(48, '-') + "\r\n";
    std::wstring astral = L"a\U0001F4F7b";
    EXPECT_EQ(FormatLogEntry(L"d", L"t", astral.c_str()), "d - t: a?b" + tail);
    const wchar_t pair[] = {L'a', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDCF7), L'b',
                            0};
    EXPECT_EQ(FormatLogEntry(L"d", L"t", pair), "d - t: a?b" + tail);
    const wchar_t lone[] = {static_cast<wchar_t>(0xDC00), static_cast<wchar_t>(0xD800), 0};
    EXPECT_EQ(FormatLogEntry(L"d", L"t", lone), "d - t: ??" + tail);
    EXPECT_EQ(FormatLogEntry(L"d", L"t", L"\u00FC\u0100\n"), "d - t: \xFC?\r\n" + tail);
}

TEST(NativeLogTime, NeverPastItsBuffer) {
    wchar_t out[kLogTimeChars];
    FormatLogTime(7, 5, 9, out, kLogTimeChars);
    EXPECT_STREQ(out, L"07:05:09");
    FormatLogTime(-2147483647 - 1, 0, 0, out, kLogTimeChars);
    EXPECT_STREQ(out, L"") << "a text that does not fit is left empty";
    wchar_t nine[9];
    FormatLogTime(23, 59, 59, nine, 9);
    EXPECT_STREQ(nine, L"23:59:59");
}
