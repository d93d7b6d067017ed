// Redirects HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_CLASSES_ROOT to
// scratch keys for one test, so registry-writing code runs against the real
// Wine registry without touching the prefix's own keys.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

class RegistryFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The scratch keys the predefined roots point at during the test.
    HKEY MachineKey() const { return hklm_; }
    HKEY UserKey() const { return hkcu_; }
    HKEY ClassesKey() const { return hkcr_; }

    // Points HKEY_LOCAL_MACHINE at a key opened for reading and then deleted:
    // every write through HKEY_LOCAL_MACHINE fails (reads find nothing), while
    // MachineKey() stays empty.
    void MakeMachineReadOnly();

    // Convenience readers on the scratch keys (not through the predefined roots).
    bool ReadString(HKEY root, const wchar_t* path, const wchar_t* name, std::wstring* out) const;
    bool ReadDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* out) const;
    bool KeyExists(HKEY root, const wchar_t* path) const;
    void WriteString(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& v);

private:
    std::wstring scratchPath_;  // below the real HKEY_CURRENT_USER
    HKEY hklm_ = nullptr;
    HKEY hkcu_ = nullptr;
    HKEY hkcr_ = nullptr;
    HKEY hklmReadOnly_ = nullptr;
};
