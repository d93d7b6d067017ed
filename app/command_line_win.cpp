#include "app/command_line.h"

#include "app/install_location.h"

#include <windows.h>

namespace {

class RegistryLocations : public InstallLocations {
  public:
    int FindExisting(wchar_t* out, std::size_t capacity) const override {
        return FindExistingInstallFolder(out, capacity);
    }
    void GetDefault(wchar_t* out, std::size_t capacity) const override {
        GetDefaultInstallFolder(out, capacity);
    }
};

} // namespace

void BuildSilentRequestFromProcess(InstallRequest& out) {
    RegistryLocations lookups;
    BuildSilentRequest(GetCommandLineW(), lookups, out);
}
