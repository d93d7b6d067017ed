#include "engine/install_request.h"

#include "engine/product.h"
#include "engine/text_buffer.h"

#include <cstring>

void ClearInstallRequest(InstallRequest& request) {
    std::memset(&request, 0, sizeof request);
    CopyText(request.Caption, kCaptionChars, kSetupCaption);
}
