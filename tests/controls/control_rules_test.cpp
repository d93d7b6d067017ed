// The controls' rules that need no window: the fallback open command of the
// link, the fitting of a caption's window, and the caption's draw format.
#include "controls/link_command.h"
#include "controls/static_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CommandCase {
    const wchar_t* registered;
    const wchar_t* expected;
};

TEST(OpenCommandLine, CutsAtThePlaceholderAndAppendsTheTarget) {
    const CommandCase cases[] = {
        // A quoted placeholder goes with its quotes; the blank before it stays.
        {L"\"C:\\Prog\\browser.exe\" \"%1\"", L"\"C:\\Prog\\browser.exe\"  https://x.example/a b"},
        {L"\"C:\\Prog\\browser.exe\" \"%1\" -new",
         L"\"C:\\Prog\\browser.exe\"  https://x.example/a b"},
        {L"C:\\Prog\\browser.exe -url %1", L"C:\\Prog\\browser.exe -url  https://x.example/a b"},
        // Without any placeholder the whole command stays.
        {L"C:\\Prog\\browser.exe", L"C:\\Prog\\browser.exe https://x.example/a b"},
        // The quoted form is looked for first, wherever it is.
        {L"b.exe %1 \"%1\"", L"b.exe %1  https://x.example/a b"},
        // An unclosed quote is no quoted placeholder.
        {L"b.exe \"%1", L"b.exe \" https://x.example/a b"},
        {L"", L" https://x.example/a b"},
    };
    for (const CommandCase& c : cases) {
        wchar_t out[kLinkCommandCapacity];
        ASSERT_TRUE(BuildOpenCommandLine(c.registered, L"https://x.example/a b", out,
                                         kLinkCommandCapacity));
        EXPECT_STREQ(out, c.expected) << "registered: " << std::wstring(c.registered).c_str();
    }
}

TEST(OpenCommandLine, RefusesAResultThatDoesNotFitTheBuffer) {
    // Command + blank + target: 519 characters fit 520 with the terminator.
    std::wstring target(100, L't');
    std::wstring command(kLinkCommandCapacity - 1 - 1 - target.size(), L'c');
    wchar_t out[kLinkCommandCapacity];
    ASSERT_TRUE(BuildOpenCommandLine(command.c_str(), target.c_str(), out, kLinkCommandCapacity));
    EXPECT_EQ(std::wstring(out), command + L" " + target);

    command += L'c';
    out[0] = L'x';
    EXPECT_FALSE(BuildOpenCommandLine(command.c_str(), target.c_str(), out, kLinkCommandCapacity));
    EXPECT_STREQ(out, L"");

    // Only what is kept counts: a long tail after the placeholder is cut away.
    std::wstring longTail = L"b.exe \"%1\"" + std::wstring(2000, L'x');
    ASSERT_TRUE(BuildOpenCommandLine(longTail.c_str(), L"t", out, kLinkCommandCapacity));
    EXPECT_STREQ(out, L"b.exe  t");

    // An over-long target alone is refused too.
    std::wstring hugeTarget(kLinkCommandCapacity, L't');
    EXPECT_FALSE(BuildOpenCommandLine(L"b.exe", hugeTarget.c_str(), out, kLinkCommandCapacity));
}

TEST(OpenCommandKeyPath, AppendsTheOpenVerbAndRefusesOverlongClassNames) {
    wchar_t out[kLinkCommandCapacity];
    ASSERT_TRUE(BuildOpenCommandKeyPath(L"htmlfile", out, kLinkCommandCapacity));
    EXPECT_STREQ(out, L"htmlfile\\shell\\open\\command");

    const std::size_t suffix = std::wstring(L"\\shell\\open\\command").size();
    std::wstring name(kLinkCommandCapacity - 1 - suffix, L'n');
    ASSERT_TRUE(BuildOpenCommandKeyPath(name.c_str(), out, kLinkCommandCapacity));
    EXPECT_EQ(std::wstring(out).size(), kLinkCommandCapacity - 1);

    name += L'n';
    EXPECT_FALSE(BuildOpenCommandKeyPath(name.c_str(), out, kLinkCommandCapacity));
    EXPECT_STREQ(out, L"");
}

struct FitCase {
    const char* what;
    LayoutBox window;
    long width;
    long height;
    unsigned long style;
    LayoutBox expected;
};

TEST(FitBoxToText, KeepsTheEdgeOrCentreThatTheStyleNames) {
    const FitCase cases[] = {
        {"left, top", {10, 20, 160, 40}, 50, 13, 0, {10, 20, 60, 33}},
        {"right edge", {10, 20, 160, 40}, 50, 13, kStaticRight, {110, 20, 160, 33}},
        {"centred", {10, 20, 160, 40}, 50, 13, kStaticCenter, {60, 20, 110, 33}},
        // An odd difference loses its half pixel: one pixel wider than the text.
        {"centred, odd", {10, 20, 161, 40}, 50, 13, kStaticCenter, {60, 20, 111, 33}},
        {"vertically centred", {10, 70, 160, 101}, 50, 13, kStaticCenterImage, {10, 79, 60, 92}},
        {"both centred",
         {0, 0, 100, 40},
         40,
         10,
         kStaticCenter | kStaticCenterImage,
         {30, 15, 70, 25}},
        // Text wider than its box: centring grows both sides, truncating toward zero.
        {"centred, grows", {100, 0, 110, 10}, 13, 10, kStaticCenter, {99, 0, 111, 10}},
        {"right, grows", {100, 0, 110, 10}, 13, 10, kStaticRight, {97, 0, 110, 10}},
    };
    for (const FitCase& c : cases) {
        LayoutBox box = FitBoxToText(c.window, c.width, c.height, c.style);
        EXPECT_EQ(box.left, c.expected.left) << c.what;
        EXPECT_EQ(box.top, c.expected.top) << c.what;
        EXPECT_EQ(box.right, c.expected.right) << c.what;
        EXPECT_EQ(box.bottom, c.expected.bottom) << c.what;
    }
}

TEST(CaptionDrawFormat, FollowsAlignmentAndCentreImage) {
    const struct {
        unsigned long style;
        unsigned format;
    } cases[] = {
        {0, kDrawLeft | kDrawWordBreak},
        {kStaticCenter, kDrawCenter | kDrawWordBreak},
        {kStaticRight, kDrawRight | kDrawWordBreak},
        {kStaticCenterImage, kDrawLeft | kDrawVCenter | kDrawSingleLine},
        // The busy line of the ready page: one centred line.
        {kStaticCenter | kStaticCenterImage, 0x25},
        {kStaticRight | kStaticCenterImage, kDrawRight | kDrawVCenter | kDrawSingleLine},
        // Other style bits (SS_NOTIFY, WS_VISIBLE) change nothing.
        {0x0100 | 0x10000000 | kStaticCenter, kDrawCenter | kDrawWordBreak},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CaptionDrawFormat(c.style), c.format) << std::hex << c.style;
}

} // namespace
