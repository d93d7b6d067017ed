// Makes the installed viewer known to Windows: shortcuts, the browse verb on
// folders and drives, the viewer's class and "Applications" entry, the entry in
// the list of installed programs, the default-programs capabilities and every
// file-type registration, then the shell refresh.
#pragma once

#include "engine/install_request.h"

// The arguments are the request's fields of the same names. Registry and
// shortcut failures are silent and still give 1. 0 only when the install folder
// is empty or too long for the texts built from it (a folder text of more than
// 263 characters): then nothing at all is written.
int RegisterShellIntegration(int anyAssociation, const wchar_t* installFolder, int createGroup,
                             int createDesktopLink, int createThumbnailsLink, int allUsers,
                             const int associationFlags[kAssociationFlagCount]);
