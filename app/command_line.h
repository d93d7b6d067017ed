// Silent mode: one InstallRequest from defaults and the command-line options.
//
// Each option is found by a plain, case-sensitive search over the whole
// command line (program path included); its value runs up to the next "/".
#pragma once

#include "engine/install_request.h"

#include <cstddef>

// The working copy of the command line holds its first 519 characters.
constexpr std::size_t kCommandLineChars = 520;
// A value ends before this many characters, counted from the first character
// of its option literal.
constexpr std::size_t kOptionSpanChars = 260;
// Buffer of the integer option values.
constexpr std::size_t kIntegerValueChars = 264;

// "/assoc=" presets: 1 selects the rows of the file-type table marked
// ImagesOnly (rows 0 to 48); 2 selects all 64 elements.
constexpr int kAssocPresetImages = 1;
constexpr int kAssocPresetAll = 2;

// The two location lookups silent mode takes its defaults from.
class InstallLocations {
  public:
    virtual ~InstallLocations() = default;
    // 1 and the folder of an installed viewer, else 0.
    virtual int FindExisting(wchar_t* out, std::size_t capacity) const = 0;
    // The folder for a first installation; always gives one.
    virtual void GetDefault(wchar_t* out, std::size_t capacity) const = 0;
};

// Finds the first occurrence of literal in commandLine and copies its value
// into value (capacity characters). False, and value untouched, when the
// literal does not occur.
bool ReadOptionValue(const wchar_t* commandLine, const wchar_t* literal, wchar_t* value,
                     std::size_t capacity);

// Removes trailing spaces, one closing and one opening double quote, then
// trailing spaces again. Leading spaces stay.
void StripQuotes(wchar_t* value);

// Decimal conversion: leading white space, an optional sign, the digits up to
// the first other character; no digits give 0. Values beyond the range of a
// 32-bit integer give its largest or smallest value.
int ParseOptionInteger(const wchar_t* value);

// Fills out from the command-line text and the two lookups. Never fails.
void BuildSilentRequest(const wchar_t* commandLine, const InstallLocations& lookups,
                        InstallRequest& out);

// The same for this process: GetCommandLineW and the registry lookups
// (command_line_win.cpp).
void BuildSilentRequestFromProcess(InstallRequest& out);
