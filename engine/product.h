// Fixed facts about the product this installer carries.
#pragma once

constexpr int kViewerVersionMajor = 4;
constexpr int kViewerVersionMinor = 66;

// Title of the wizard and of every message box.
constexpr const wchar_t* kSetupCaption = L"Pellumbra 64-bit Setup";
// A window of this class means that the viewer is running.
constexpr const wchar_t* kViewerWindowClass = L"Pellumbra";
constexpr const wchar_t* kViewerExeName = L"p_lumb64.exe";
constexpr const wchar_t* kUninstallerExeName = L"pl_uninstall.exe";
constexpr const wchar_t* kLogFileName = L"Pellumbra_Install.log";
constexpr const wchar_t* kDefaultIniFolder = L"%APPDATA%\\Pellumbra";

// The maker's web pages, opened through the shell (licence link, finish page).
constexpr const wchar_t* kLicenceUrl = L"https://www.pellumbra.example/eula.html";
constexpr const wchar_t* kFaqUrl = L"https://www.pellumbra.example/faq.html";
