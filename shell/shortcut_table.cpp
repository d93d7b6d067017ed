#include "shell/shortcut_table.h"

#include "engine/product.h"
#include "engine/text_buffer.h"
#include "shell/os_version_rules.h"

namespace {

struct GroupEntry {
    const wchar_t* FileName;   // null: the versioned viewer shortcut
    const wchar_t* TargetFile; // below the install folder
    const wchar_t* Arguments;
    bool ViewerIcon;          // icon kThumbnailsIconIndex of the viewer
    bool UninstallerShortcut; // not on class 8
};

const GroupEntry kGroupEntries[kGroupShortcutCount] = {
    {nullptr, L"p_lumb64.exe", nullptr, false, false},
    {L"Pellumbra - Thumbnails.lnk", L"p_lumb64.exe", kThumbnailsArgument, true, false},
    {L"Pellumbra deinstallieren.lnk", L"pl_uninstall.exe", nullptr, false, true},
    {L"Über Pellumbra.lnk", L"p_about.txt", nullptr, false, false},
    {L"Was ist neu.lnk", L"p_changes.txt", nullptr, false, false},
    {L"Kommandozeilen-Optionen.lnk", L"p_options.txt", nullptr, false, false},
    {L"Verfügbare PlugIns.lnk", L"p_plugins.txt", nullptr, false, false},
    {L"Verfügbare Sprachen.lnk", L"p_languages.txt", nullptr, false, false},
    {L"Pellumbra Hilfe.lnk", L"help\\p_lumb32_deutsch.chm", nullptr, false, false},
};

} // namespace

int PlanGroupShortcuts(const wchar_t* folderText, int osClass,
                       PlannedShortcut out[kGroupShortcutCount]) {
    if (!folderText)
        return 0;
    wchar_t viewerPath[kBuiltTextChars];
    if (!FormatText(viewerPath, kBuiltTextChars, L"%ls%ls", folderText, kViewerExeName))
        return 0;
    int count = 0;
    for (const GroupEntry& entry : kGroupEntries) {
        if (entry.UninstallerShortcut && osClass == kOsClassWindows8)
            continue;
        PlannedShortcut& s = out[count];
        s = PlannedShortcut{};
        bool ok = entry.FileName
                      ? CopyText(s.FileName, kLinkNameChars, entry.FileName)
                      : FormatText(s.FileName, kLinkNameChars, L"Pellumbra 64 %d.%2d.lnk",
                                   kViewerVersionMajor, kViewerVersionMinor);
        ok = ok && FormatText(s.Target, kBuiltTextChars, L"%ls%ls", folderText, entry.TargetFile) &&
             CopyText(s.Arguments, kLinkNameChars, entry.Arguments);
        if (entry.ViewerIcon) {
            ok = ok && CopyText(s.IconPath, kBuiltTextChars, viewerPath);
            s.IconIndex = kThumbnailsIconIndex;
        }
        if (!ok)
            return 0;
        ++count;
    }
    return count;
}

bool BuildEarlierVersionLinkName(const wchar_t* version, wchar_t* out, std::size_t capacity) {
    return FormatText(out, capacity, L"Pellumbra 64 %ls.lnk", version);
}

bool ComposeLinkPath(const wchar_t* folder, const wchar_t* fileName, wchar_t* out,
                     std::size_t capacity) {
    bool ok = CopyText(out, capacity, folder);
    if (ok && !EndsWith(out, L'\\'))
        ok = AppendText(out, capacity, L"\\");
    ok = ok && AppendText(out, capacity, fileName);
    if (!ok && capacity > 0)
        out[0] = L'\0';
    return ok;
}
