// The wizard's rules over plain texts and numbers: what the pages compute from
// their fields before they show or hand on a value. No Windows header: the
// pages (the *_win.cpp files) read and write the controls around them.
#pragma once

#include "engine/install_request.h"

#include <cstddef>

// Texts read from a page's field: room for 260 characters, at most 259 taken.
constexpr std::size_t kFieldChars = 260;
constexpr std::size_t kFieldMaxLength = kFieldChars - 1;

// The change history buffer of the what's-new page.
constexpr std::size_t kWhatsNewChars = 10240;

// The text a wizard field shows as the version and bitness of the viewer.
constexpr const wchar_t* kViewerBitness = L"64";

// The browse rule: the chosen folder, completed with a backslash and, unless
// its last name already is Pellumbra (any letter case), with "Pellumbra\"; a
// drive root always gets it. Each step is taken only while the result still
// fits a field (259 characters): a completion that would not fit is left off,
// so the field never holds more than its readers take. out holds at least
// kFieldChars characters. True when the whole rule could be applied.
bool CompleteBrowsedFolder(const wchar_t* chosen, wchar_t* out, std::size_t outChars);

// The folder the browse dialog opens on: the field's text, without its final
// backslash unless it is a drive root ("D:\" stays, "D:\Pellumbra\" becomes
// "D:\Pellumbra"). Cut to fit out.
void BrowseStartFolder(const wchar_t* fieldText, wchar_t* out, std::size_t outChars);

// The welcome page's check before it lets the user go on: the text must not be
// empty and must have a drive part (its second character is ':').
bool IsAcceptableInstallFolder(const wchar_t* fieldText);

// Fills a page text that holds "%s" markers: each "%s" takes the next of the
// given values, "%%" gives one '%', anything else stays as it stands (a marker
// without a value stays as "%s"). The template is never used as a format
// string. False when the result was cut to fit out.
bool FillTemplateText(const wchar_t* pattern, const wchar_t* const* values, int valueCount,
                      wchar_t* out, std::size_t outChars);

// The change history as the what's-new page shows it: the resource data's
// UTF-16LE units (byte-order mark kept; an odd last byte is no unit), at most
// bufferChars - 1 of them, the rest of the buffer zero, then TrimWhatsNewTail.
using CharClassifier = bool (*)(wchar_t c);
void PrepareWhatsNewText(const void* data, std::size_t bytes, wchar_t* buffer,
                         std::size_t bufferChars, CharClassifier isLetterOrDigit);
// Zeroes every character from the end backwards until the first letter or
// digit (as the classifier tells), so trailing blanks, line breaks and
// punctuation go; a text without any letter or digit becomes empty.
void TrimWhatsNewTail(wchar_t* text, CharClassifier isLetterOrDigit);

// The ready page's folder line: "label: folder", cut to fit out.
void FormatReadyFolderLine(const wchar_t* label, const wchar_t* folder, wchar_t* out,
                           std::size_t outChars);

// The file-type list read back into the request: stateImages[i] is the state
// image index of row i; at most min(rowCount, 64) rows are read, and a row
// counts as selected unless its index is 1 (the unticked box). flags is set to
// 64 zeros first. Returns AnyAssociation (1 when any row was selected).
int AssociationFlagsFromStateImages(const unsigned* stateImages, int rowCount,
                                    int flags[kAssociationFlagCount]);

// The presets of the file-type page: whether row `row` is ticked afterwards.
enum class FileTypePreset { ImagesOnly, All, None };
bool PresetTicksRow(FileTypePreset preset, int row);

// The viewer the finish page starts: the folder field's text, a backslash
// when it does not end in one, and "p_lumb64.exe". False (out empty) when it
// does not fit out.
bool BuildViewerPath(const wchar_t* folder, wchar_t* out, std::size_t outChars);

// Position of a page in the wizard's walk: the nearest position from `from`
// in the direction of `step` (+1 or -1) whose page takes part in the walk, or
// -1 when there is none. inFlow[i] tells whether page i takes part.
int NeighbourPosition(int from, int step, const int* inFlow, int pageCount);
