// The registry names and texts of one file-type registration pair (an
// extension and the ProgID suffix it is registered under).
#pragma once

#include <cstddef>

constexpr std::size_t kAssociationTextChars = 160;

struct AssociationNames {
    wchar_t ProgId[kAssociationTextChars];           // Pellumbra.jpg
    wchar_t ClassDescription[kAssociationTextChars]; // Pellumbra JPG File
    wchar_t ExtensionKey[kAssociationTextChars];     // SOFTWARE\Classes\.jpeg (machine)
    wchar_t ClassKey[kAssociationTextChars];         // SOFTWARE\Classes\Pellumbra.jpg (machine)
    wchar_t CommandKey[kAssociationTextChars];       // ...\Pellumbra.jpg\shell\open\command
    wchar_t DefaultIconKey[kAssociationTextChars];   // ...\Pellumbra.jpg\DefaultIcon
    wchar_t CapabilityName[kAssociationTextChars];   // .jpeg
    wchar_t UserChoiceKey[kAssociationTextChars];    // ...\FileExts\.jpeg\UserChoice (user)
};

// Builds every name of the pair. False when a name would not fit (the pair is
// then not registered at all).
bool BuildAssociationNames(const wchar_t* extension, const wchar_t* suffix, AssociationNames* out);

// jpg, png and tif (ignoring case) get the viewer as their default even when
// their row is not selected; jpeg, jfif, jpe and tiff do not.
bool AlwaysSetsExtensionDefault(const wchar_t* extension);

// Where the default-programs capabilities list the extensions (machine).
constexpr const wchar_t* kFileAssociationsKey =
    L"SOFTWARE\\Pellumbra\\Capabilities\\FileAssociations";
