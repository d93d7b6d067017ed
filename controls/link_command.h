// Building the command that opens a link target with the program registered
// for ".htm" pages, used when the shell cannot open the target itself.
// No Windows header: plain texts in, plain texts out.
#pragma once

#include <cstddef>

// Capacity of the command buffer, terminator included.
constexpr std::size_t kLinkCommandCapacity = 520;

// The key, below the classes root, that holds the open command of the class
// `className`: className followed by "\shell\open\command". False, with `out`
// empty, when that does not fit `capacity` characters (terminator included).
bool BuildOpenCommandKeyPath(const wchar_t* className, wchar_t* out, std::size_t capacity);

// The command line that opens `target` through the registered open command:
// the command is cut where its first quoted "%1" placeholder begins (at the
// opening quote) or, when there is none, where its first bare %1 begins; then
// a blank and the target (unquoted) are appended. A command without any %1
// stays whole. False, with `out` empty, when the result does not fit
// `capacity` characters (terminator included).
bool BuildOpenCommandLine(const wchar_t* registeredCommand, const wchar_t* target, wchar_t* out,
                          std::size_t capacity);
