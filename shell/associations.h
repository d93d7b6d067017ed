// The file-type registration: ProgID classes and capabilities for every
// extension of the file-type table, defaults and per-user choices for the
// selected rows, and the closing shell refresh.
#pragma once

#include "engine/install_request.h"

struct RegistrationTexts;

// One registration pair: the extension's default (when selected, and always for
// jpg, png and tif), the ProgID class with its open command and icon, the
// capability entry, and for a selected pair the recreated per-user choice.
void AssociateExtension(const wchar_t* extension, const wchar_t* suffix, const wchar_t* openCommand,
                        const wchar_t* iconText, int selected);

// Marks five built-in Windows 10 apps "NoOpenWith" for the current user.
void SuppressAppxOpenWith();

// AssociateExtension for all 87 extensions in table order, each with its row's
// flag (null flags: nothing selected).
void RegisterFileTypes(const RegistrationTexts& texts,
                       const int associationFlags[kAssociationFlagCount]);

// After associations were asked for: the app suppression on Windows 10
// (class 10), then the icon and association change notices to the shell.
void RefreshShellAssociations();
