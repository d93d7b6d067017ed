// The fixed list of file formats the installer offers to open with the viewer:
// the rows of the file-type page, the meaning of the request's association
// flags, and the work list of the file-type registration.
#pragma once

#include "engine/install_request.h"

#include <cstddef>

constexpr int kFileTypeRowCount = 63;
constexpr int kFileTypeExtensionCount = 87;
constexpr int kMaxRegistrationsPerRow = 4;
constexpr int kImagesOnlyRowCount = 49; // rows 0..48, ANI to XPM

static_assert(kFileTypeRowCount < kAssociationFlagCount, "one flag per row");

// What the DefaultIcon of a row's classes names.
enum class IconSource {
    Self,        // "%1": the file is its own icon
    ViewerIcon0, // "<viewer>,0"
    ViewerIcon9, // "<viewer>,9" (video)
    ViewerIcon8, // "<viewer>,8" (audio)
};
constexpr int kIconSourceCount = 4;

// One extension (lower case, no dot) and the ProgID suffix it is registered under.
struct FileTypeRegistration {
    const wchar_t* Extension;
    const wchar_t* Suffix;
};

struct FileTypeRow {
    int Index;
    const wchar_t* DisplayGroup; // first list column, e.g. "TIF/TIFF"
    const wchar_t* Description;  // second list column; " *" marks a plug-in format
    int RegistrationCount;
    FileTypeRegistration Registrations[kMaxRegistrationsPerRow];
    IconSource Icon;
    bool ImagesOnly;
};

// Row i of the table, i in 0..62; null for any other index.
const FileTypeRow* FileTypeRowAt(int index);

// Presets over the 64 association flags.
void SelectImagesOnly(int flags[kAssociationFlagCount]);   // rows 0..48 on, the rest off
void SelectAllFileTypes(int flags[kAssociationFlagCount]); // every element on
void SelectNoFileTypes(int flags[kAssociationFlagCount]);  // every element off

// The DefaultIcon text of an icon kind for the installed viewer's full path.
// False (out empty) when it does not fit.
bool BuildIconText(IconSource icon, const wchar_t* viewerPath, wchar_t* out, std::size_t capacity);
