#include "support/registry_fixture.h"

#include <cstdio>

namespace {

HKEY CreateScratch(HKEY parent, const wchar_t* name) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(parent, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

int g_counter = 0;

}  // namespace

void RegistryFixture::SetUp() {
    wchar_t path[128];
    swprintf(path, 128, L"Software\\PellumbraTests\\%lu-%d", GetCurrentProcessId(), ++g_counter);
    scratchPath_ = path;
    HKEY root = CreateScratch(HKEY_CURRENT_USER, path);
    ASSERT_NE(root, nullptr);
    hklm_ = CreateScratch(root, L"HKLM");
    hkcu_ = CreateScratch(root, L"HKCU");
    hkcr_ = CreateScratch(root, L"HKCR");
    RegCloseKey(root);
    ASSERT_TRUE(hklm_ && hkcu_ && hkcr_);
    // HKEY_CURRENT_USER last: the scratch keys above live under the real one.
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, hklm_), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, hkcr_), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, hkcu_), ERROR_SUCCESS);
}

void RegistryFixture::TearDown() {
    // Overrides first, then the keys: the scratch tree is reached through the real root.
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    for (HKEY* k : {&hklm_, &hkcu_, &hkcr_, &hklmReadOnly_}) {
        if (*k)
            RegCloseKey(*k);
        *k = nullptr;
    }
    if (!scratchPath_.empty())
        RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath_.c_str());
}

void RegistryFixture::MakeMachineReadOnly() {
    // Wine does not check the parent handle's access when a subkey is created,
    // so a handle opened for reading alone would still let writes through. A
    // handle to a key that has been deleted refuses every write (and read), on
    // Windows and Wine alike: the machine-wide writes of a user without
    // administrator rights fail the same way.
    ASSERT_EQ(RegCreateKeyExW(hklm_, L"ReadOnly", 0, nullptr, 0, KEY_READ, nullptr, &hklmReadOnly_,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyW(hklm_, L"ReadOnly"), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, hklmReadOnly_), ERROR_SUCCESS);
}

bool RegistryFixture::ReadString(HKEY root, const wchar_t* path, const wchar_t* name,
                                 std::wstring* out) const {
    wchar_t buf[2048] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    DWORD type = 0;
    if (RegGetValueW(root, path, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type,
                     buf, &size) != ERROR_SUCCESS)
        return false;
    *out = buf;
    return true;
}

bool RegistryFixture::ReadDword(HKEY root, const wchar_t* path, const wchar_t* name,
                                DWORD* out) const {
    DWORD size = sizeof *out;
    return RegGetValueW(root, path, name, RRF_RT_REG_DWORD, nullptr, out, &size) == ERROR_SUCCESS;
}

bool RegistryFixture::KeyExists(HKEY root, const wchar_t* path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void RegistryFixture::WriteString(HKEY root, const wchar_t* path, const wchar_t* name,
                                  const std::wstring& v) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}
