#include "shell/associations.h"

#include "engine/win_handles.h"
#include "shell/association_text.h"
#include "shell/file_type_table.h"
#include "shell/os_version.h"
#include "shell/registration_text.h"
#include "shell/registry_values_win.h"

#include <shlobj.h>

namespace {

// The built-in apps of Windows 10 that would otherwise crowd the open-with lists.
constexpr const wchar_t* kSuppressedAppProgIds[] = {
    L"AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg", L"AppXk0g4vb8gvt7b93tg50ybcy892pge6jmt",
    L"AppX43hnxtbyyps62jhe9sqpdzxn1790zetc", L"AppX9rkaq77s0jzh1tyccadx9ghba15r6t3h",
    L"AppX6eg8h5sxqq90pv53845wmnbewywdqq5h"};

} // namespace

void AssociateExtension(const wchar_t* extension, const wchar_t* suffix, const wchar_t* openCommand,
                        const wchar_t* iconText, int selected) {
    AssociationNames names;
    if (!BuildAssociationNames(extension, suffix, &names) || !openCommand || !iconText)
        return;
    if (selected || AlwaysSetsExtensionDefault(extension))
        SetDefaultValue(HKEY_LOCAL_MACHINE, names.ExtensionKey, names.ProgId);
    SetDefaultValue(HKEY_LOCAL_MACHINE, names.ClassKey, names.ClassDescription);
    SetDefaultValue(HKEY_LOCAL_MACHINE, names.CommandKey, openCommand);
    SetDefaultValue(HKEY_LOCAL_MACHINE, names.DefaultIconKey, iconText);
    {
        UniqueRegKey capabilities;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFileAssociationsKey, 0, KEY_SET_VALUE,
                          capabilities.put()) == ERROR_SUCCESS)
            SetStringValue(capabilities.get(), names.CapabilityName, names.ProgId);
    }
    if (!selected)
        return;
    // The old choice goes with all its values; the recreated key names only the
    // viewer's class. A key that cannot be deleted is opened and written anyway.
    RegDeleteKeyW(HKEY_CURRENT_USER, names.UserChoiceKey);
    UniqueRegKey choice;
    if (RegCreateKeyW(HKEY_CURRENT_USER, names.UserChoiceKey, choice.put()) == ERROR_SUCCESS)
        SetStringValue(choice.get(), L"Progid", names.ProgId);
}

void SuppressAppxOpenWith() {
    for (const wchar_t* progId : kSuppressedAppProgIds) {
        wchar_t path[kAssociationTextChars];
        if (!FormatText(path, kAssociationTextChars, L"SOFTWARE\\Classes\\%ls", progId))
            continue;
        UniqueRegKey key;
        if (RegCreateKeyW(HKEY_CURRENT_USER, path, key.put()) == ERROR_SUCCESS)
            SetStringValue(key.get(), L"NoOpenWith", L"");
    }
}

void RegisterFileTypes(const RegistrationTexts& texts,
                       const int associationFlags[kAssociationFlagCount]) {
    for (int index = 0; index < kFileTypeRowCount; ++index) {
        const FileTypeRow* row = FileTypeRowAt(index);
        const int selected = associationFlags ? associationFlags[index] : 0;
        for (int i = 0; i < row->RegistrationCount; ++i)
            AssociateExtension(row->Registrations[i].Extension, row->Registrations[i].Suffix,
                               texts.OpenCommand, IconTextFor(texts, row->Icon), selected);
    }
}

void RefreshShellAssociations() {
    if (GetOsVersionClass() == kOsClassWindows10)
        SuppressAppxOpenWith();
    SystemParametersInfoW(SPI_SETICONS, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH | SHCNF_FLUSHNOWAIT, nullptr, nullptr);
}
