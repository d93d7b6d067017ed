#include "app/the_app.h"

#include "app/startup.h"
#include "engine/text_buffer.h"
#include "resources/resource.h"
#include "wizard/wiz_property_page.h"

#include <memory>

CWizPropertySheet SetupSheet;

namespace {

constexpr int kHeadingPoints = 18;
constexpr unsigned kPageTemplates[] = {IDD_WELCOME, IDD_WHATSNEW, IDD_FILETYPES, IDD_READY,
                                       IDD_FINISH};
constexpr int kPageCount = sizeof(kPageTemplates) / sizeof(kPageTemplates[0]);

} // namespace

bool TheApp::InitInstance() {
    HardenDllSearchPath();
    InitCommonControlClasses();
    if (IsSilentCommandLine(GetCommandLineW())) {
        SetExitCode(RunSilentMode());
        return false;
    }
    RunWizard();
    SetExitCode(kExitSuccess);
    return false;
}

// The pages live only while the wizard runs; everything the installation
// needs happens inside it (the ready page's Next).
void TheApp::RunWizard() {
    ZeroMemory(&HeaderFontRecord, sizeof(HeaderFontRecord));
    int resolution = 96;
    if (HDC screen = GetDC(nullptr)) {
        resolution = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
    HeaderFontRecord.lfHeight = MulDiv(kHeadingPoints, resolution, 96);
    HeaderFontRecord.lfWeight = FW_BOLD;
    HeaderFontRecord.lfQuality = ANTIALIASED_QUALITY;
    CopyText(HeaderFontRecord.lfFaceName, LF_FACESIZE, L"Arial");
    SetupSheet.HeaderFont.reset(CreateFontIndirectW(&HeaderFontRecord));
    SetupSheet.FileTypeList = nullptr;

    std::unique_ptr<CWizPropertyPage> pages[kPageCount];
    for (int i = 0; i < kPageCount; ++i) {
        pages[i].reset(new CWizPropertyPage(kPageTemplates[i]));
        SetupSheet.AddPage(pages[i].get());
        pages[i]->Sheet = &SetupSheet;
    }
    SetMainSheet(&SetupSheet);
    SetupSheet.DoModal();
    SetMainSheet(nullptr);
    SetupSheet.RemoveAllPages();
}
