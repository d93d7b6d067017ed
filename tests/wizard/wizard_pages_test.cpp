// What each page shows and does: the welcome page's defaults, scope radios and
// folder dialog, the change history, the file-type list, the ready page and
// the request it builds from all pages.
#include "engine/product.h"
#include "resources/resource.h"
#include "shell/file_type_table.h"
#include "shell/os_version.h"
#include "support/wide_print.h"
#include "wizard_fixture.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

namespace {

constexpr const wchar_t* kCurrentVersion = L"Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const wchar_t* kOpenCommand = L"SOFTWARE\\Classes\\Pellumbra\\shell\\open\\command";

HFONT FontOf(UiDriver& ui, HWND window) {
    return ui.Query<HFONT>(
        [&] { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); });
}

std::vector<int> SelectedRows(const InstallRequest& request) {
    std::vector<int> rows;
    for (int i = 0; i < kAssociationFlagCount; ++i)
        if (request.AssociationFlags[i])
            rows.push_back(i);
    return rows;
}

} // namespace

// Leaves the wizard through the close box, answering the question with Yes.
class WizardPageTest : public WizardTest {
  protected:
    void Quit(UiDriver& ui) {
        PostMessageW(sheet_.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        BoxInfo box = WaitForBox(ui);
        ASSERT_NE(box.Window, nullptr);
        UiDriver::Answer(box.Window, IDYES);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }));
    }
    // From the ready page to the finish page and out, with both boxes unticked.
    void InstallAndLeave(UiDriver& ui) {
        FinishInstallation(ui);
        Tick(ui, IDC_SHOW_FAQ, false);
        Tick(ui, IDC_START_VIEWER, false);
        ClickButton(ui, WizardSheet::kCancelButton);
        EXPECT_TRUE(UiDriver::WaitFor([&] { return ui.ModalEnded(); }));
    }
};

TEST_F(WizardPageTest, WelcomeGreetsWithVersionAndBitnessAndProposesTheDefaultFolder) {
    WriteString(MachineKey(), kCurrentVersion, L"ProgramFilesDir", L"D:\\Programme");
    RunWizard([&](UiDriver& ui) {
        EXPECT_EQ(Utf8(Text(ui, Control(ui, kWelcome, IDC_WELCOME_HEADING))),
                  "Willkommen zur Pellumbra 64 Installation!");
        EXPECT_EQ(Utf8(Text(ui, Control(ui, kWelcome, IDC_WELCOME_TEXT))),
                  "Dieses Programm wird Pellumbra Version  4.66  (64 bit) auf Ihrem PC "
                  "installieren.\n(Bitte mit Admin-Rechten ausf\xc3\xbchren)");
        EXPECT_EQ(FontOf(ui, Control(ui, kWelcome, IDC_WELCOME_HEADING)), sheet_.HeaderFont.get());
        for (int id : {IDC_DESKTOP_LINK, IDC_THUMBS_LINK, IDC_GROUP})
            EXPECT_TRUE(Ticked(ui, kWelcome, id)) << id;
        EXPECT_TRUE(Ticked(ui, kWelcome, IDC_CURRENT_USER));
        EXPECT_FALSE(Ticked(ui, kWelcome, IDC_ALL_USERS));
        EXPECT_TRUE(Enabled(ui, Control(ui, kWelcome, IDC_CURRENT_USER)));
        EXPECT_TRUE(Enabled(ui, Control(ui, kWelcome, IDC_ALL_USERS)));
        EXPECT_EQ(Utf8(Folder(ui)), "D:\\Programme\\Pellumbra");
        EXPECT_NE(
            ui.Query<LRESULT>([&] { return SendMessageW(sheet_.Hwnd(), WM_GETICON, ICON_BIG, 0); }),
            0)
            << "the sheet shows the installer's icon";
        // The licence link is the sheet's hyperlink, always underlined.
        ui.OnUi([&] {
            EXPECT_EQ(sheet_.LicenceLink.Hwnd(),
                      GetDlgItem(sheet_.PageWindow(kWelcome), IDC_LICENCE_LINK));
            EXPECT_EQ(sheet_.LicenceLink.Target, kLicenceUrl);
            EXPECT_EQ(sheet_.LicenceLink.UnderlineMode, CHyperLink::UnderlineAlways);
        });
        Quit(ui);
    });
}

TEST_F(WizardPageTest, WelcomeProposesTheFolderOfAnEarlierInstallation) {
    WriteString(MachineKey(), kCurrentVersion, L"ProgramFilesDir", L"D:\\Programme");
    WriteString(MachineKey(), kOpenCommand, L"", L"\"E:\\Apps\\Pellumbra\\p_lumb64.exe\" \"%1\"");
    RunWizard([&](UiDriver& ui) {
        EXPECT_EQ(Utf8(Folder(ui)), "E:\\Apps\\Pellumbra\\");
        // The one-time set-up does not run again: a typed folder survives.
        SetFolder(ui, L"F:\\Neu");
        Next(ui);
        Back(ui);
        EXPECT_EQ(Utf8(Folder(ui)), "F:\\Neu");
        Quit(ui);
    });
}

TEST_F(WizardPageTest, TheScopeRadiosFollowTheShortcutBoxes) {
    RunWizard([&](UiDriver& ui) {
        HWND current = Control(ui, kWelcome, IDC_CURRENT_USER);
        HWND all = Control(ui, kWelcome, IDC_ALL_USERS);
        Click(ui, IDC_ALL_USERS);
        const int boxes[] = {IDC_DESKTOP_LINK, IDC_THUMBS_LINK, IDC_GROUP};
        for (int i = 0; i < 3; ++i) {
            Tick(ui, boxes[i], false);
            bool anyLeft = i < 2;
            EXPECT_EQ(Enabled(ui, current), anyLeft) << i;
            EXPECT_EQ(Enabled(ui, all), anyLeft) << i;
        }
        Tick(ui, IDC_THUMBS_LINK, true);
        EXPECT_TRUE(Enabled(ui, current) && Enabled(ui, all));
        EXPECT_TRUE(Ticked(ui, kWelcome, IDC_ALL_USERS)) << "the selection is kept";

        // "&Keine": no boxes, no scope, and it stays so across the pages.
        Click(ui, IDC_NO_LINKS);
        for (int id : boxes)
            EXPECT_FALSE(Ticked(ui, kWelcome, id)) << id;
        EXPECT_FALSE(Enabled(ui, current) || Enabled(ui, all));
        Next(ui);
        Back(ui);
        for (int id : boxes)
            EXPECT_FALSE(Ticked(ui, kWelcome, id)) << id;
        EXPECT_FALSE(Enabled(ui, current) || Enabled(ui, all));

        // A disabled radio still delivers its selection.
        WalkTo(ui, kReady);
        InstallAndLeave(ui);
    });
    ASSERT_EQ(calls_.size(), 1u);
    const InstallRequest& r = calls_[0].Request;
    EXPECT_EQ(r.CreateDesktopLink + r.CreateThumbnailsLink + r.CreateGroup, 0);
    EXPECT_EQ(r.AllUsers, 1);
}

// The dialog opens on the folder in the field and completes the chosen one.
TEST_F(WizardPageTest, BrowsingFillsTheFieldWithTheChosenFolderCompleted) {
    const std::wstring base = TestFolder();
    ASSERT_TRUE(CreateDirectoryW((base + L"Ziel").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((base + L"PELLUMBRA").c_str(), nullptr));
    // Wine's shell describes a folder differently the first time it meets it
    // after its creation, and the dialog then cannot find it: introduce both.
    for (const wchar_t* name : {L"Ziel", L"PELLUMBRA"}) {
        PIDLIST_ABSOLUTE item = nullptr;
        SHParseDisplayName((base + name).c_str(), nullptr, &item, 0, nullptr);
        CoTaskMemFree(item);
    }
    struct Case {
        std::wstring field;
        std::wstring chosen;
    };
    const std::vector<Case> cases = {
        {base + L"Ziel\\", base + L"Ziel\\Pellumbra\\"},
        {base + L"PELLUMBRA", base + L"PELLUMBRA\\"},
        {L"C:\\", L"C:\\Pellumbra\\"},
    };
    RunWizard([&](UiDriver& ui) {
        for (const Case& c : cases) {
            SetFolder(ui, c.field);
            Click(ui, IDC_BROWSE);
            BoxInfo dialog = WaitForBox(ui);
            ASSERT_NE(dialog.Window, nullptr) << Utf8(c.field);
            Answer(ui, dialog, IDOK);
            std::wstring field = Folder(ui);
            EXPECT_EQ(lstrcmpiW(field.c_str(), c.chosen.c_str()), 0)
                << Utf8(field) << " for " << Utf8(c.field);
        }
        // Cancelled: the field keeps its text.
        SetFolder(ui, base + L"Ziel");
        Click(ui, IDC_BROWSE);
        BoxInfo dialog = WaitForBox(ui);
        ASSERT_NE(dialog.Window, nullptr);
        Answer(ui, dialog, IDCANCEL);
        EXPECT_EQ(Utf8(Folder(ui)), Utf8(base + L"Ziel"));
        Quit(ui);
    });
}

TEST_F(WizardPageTest, WhatsNewShowsTheWholeHistoryOnEveryVisit) {
    RunWizard([&](UiDriver& ui) {
        WalkTo(ui, kWhatsNew);
        HWND field = Control(ui, kWhatsNew, IDC_FOLDER);
        std::wstring first = Text(ui, field);
        ASSERT_GT(first.size(), 2000u);
        EXPECT_EQ(first[0], L'\xFEFF') << "the byte-order mark is kept";
        EXPECT_EQ(Utf8(first.substr(first.size() - 12)), "installieren")
            << "the trailing line break and blanks are gone";
        EXPECT_NE(first.find(L"\r\n"), std::wstring::npos);
        Back(ui);
        Next(ui);
        EXPECT_EQ(Text(ui, field), first) << "no accumulation";
        Quit(ui);
    });
}

TEST_F(WizardPageTest, TheFileTypeListIsSetUpOnceGreyedAndPresetsTickItsRows) {
    RunWizard([&](UiDriver& ui) {
        WalkTo(ui, kFileTypes);
        HWND list = Control(ui, kFileTypes, IDC_FILETYPE_LIST);
        EXPECT_EQ(ui.Query<HWND>([&] { return sheet_.FileTypeList; }), list);
        EXPECT_FALSE(Visible(ui, Control(ui, kFileTypes, IDC_ALL_USERS_XP)));
        HWND box = Control(ui, kFileTypes, IDC_WRITE_ASSOC);
        EXPECT_TRUE(Enabled(ui, box));
        EXPECT_FALSE(Ticked(ui, kFileTypes, IDC_WRITE_ASSOC));
        EXPECT_EQ(RowStates(ui), std::vector<unsigned>(63, 1u));

        ui.OnUi([&] {
            EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
                      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
            HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
            EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
            RECT outer;
            GetWindowRect(list, &outer);
            int width = outer.right - outer.left;
            int dpi = ScreenDpi();
            EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), width / 3);
            EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0),
                      (2 * width) / 3 - MulDiv(25, dpi, 96));
            for (int row : {0, 48, 49, 62}) {
                wchar_t text[128];
                LVITEMW item = {};
                item.pszText = text;
                item.cchTextMax = 128;
                item.iSubItem = 0;
                SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
                EXPECT_STREQ(text, FileTypeRowAt(row)->DisplayGroup) << row;
                item.iSubItem = 1;
                SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
                EXPECT_STREQ(text, FileTypeRowAt(row)->Description) << row;
            }
        });

        auto expectGreyed = [&](bool greyed, const char* where) {
            ui.OnUi([&] {
                EXPECT_EQ(IsWindowEnabled(list) == FALSE, greyed) << where;
                COLORREF back = static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0));
                COLORREF text = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0));
                CWizPropertyPage& page = *pages_[kFileTypes];
                EXPECT_EQ(back, greyed ? RGB(192, 192, 192) : page.SavedListBackColour) << where;
                // The rows' own text background follows, or they stay white.
                EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0)), back)
                    << where;
                EXPECT_EQ(text, greyed ? static_cast<COLORREF>(0x0080FF) : page.SavedListTextColour)
                    << where;
                for (int id : {IDC_IMAGES_ONLY, IDC_TICK_ALL, IDC_TICK_NONE})
                    EXPECT_EQ(IsWindowEnabled(GetDlgItem(sheet_.PageWindow(kFileTypes), id)) ==
                                  FALSE,
                              greyed)
                        << where << " button " << id;
            });
        };
        expectGreyed(true, "first display");
        ui.OnUi([&] {
            EXPECT_EQ(pages_[kFileTypes]->SavedListBackColour, GetSysColor(COLOR_WINDOW));
            COLORREF text = pages_[kFileTypes]->SavedListTextColour;
            EXPECT_TRUE(text == CLR_DEFAULT || text == GetSysColor(COLOR_WINDOWTEXT)) << text;
        });

        Tick(ui, IDC_WRITE_ASSOC, true);
        expectGreyed(false, "box ticked");
        Click(ui, IDC_IMAGES_ONLY);
        std::vector<unsigned> images(63, 1u);
        std::fill(images.begin(), images.begin() + 49, 2u);
        EXPECT_EQ(RowStates(ui), images) << "ANI to XPM ticked, SWF/FLV and after unticked";
        Click(ui, IDC_TICK_ALL);
        EXPECT_EQ(RowStates(ui), std::vector<unsigned>(63, 2u));
        Click(ui, IDC_TICK_NONE);
        EXPECT_EQ(RowStates(ui), std::vector<unsigned>(63, 1u));
        Click(ui, IDC_IMAGES_ONLY);

        Tick(ui, IDC_WRITE_ASSOC, false);
        expectGreyed(true, "box unticked");
        EXPECT_EQ(RowStates(ui), images) << "the ticks stay while greyed";

        // Coming back does not fill the list again.
        Back(ui);
        Next(ui);
        EXPECT_EQ(RowStates(ui), images);
        expectGreyed(true, "after Back and Next");
        EXPECT_EQ(ui.Query<LRESULT>([&] {
            return SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)),
                                HDM_GETITEMCOUNT, 0, 0);
        }),
                  2);
        Quit(ui);
    });
}

TEST_F(WizardPageTest, OnWindowsElevenTheAssociationBoxIsDisabledForGood) {
    SetOsVersionClassForTesting(11);
    RunWizard([&](UiDriver& ui) {
        WalkTo(ui, kFileTypes);
        EXPECT_FALSE(Enabled(ui, Control(ui, kFileTypes, IDC_WRITE_ASSOC)));
        EXPECT_FALSE(Ticked(ui, kFileTypes, IDC_WRITE_ASSOC));
        EXPECT_FALSE(Enabled(ui, Control(ui, kFileTypes, IDC_FILETYPE_LIST)));
        EXPECT_FALSE(Enabled(ui, Control(ui, kFileTypes, IDC_IMAGES_ONLY)));
        Next(ui);
        Back(ui);
        EXPECT_FALSE(Enabled(ui, Control(ui, kFileTypes, IDC_WRITE_ASSOC)));
        WalkTo(ui, kReady);
        InstallAndLeave(ui);
    });
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].Request.AnyAssociation, 0);
}

TEST_F(WizardPageTest, TheReadyPageShowsTheTrimmedFolderAndResetsItsRadios) {
    RunWizard([&](UiDriver& ui) {
        SetFolder(ui, L"C:\\Programme\\Pellumbra   ");
        WalkTo(ui, kReady);
        EXPECT_EQ(Utf8(Text(ui, Control(ui, kReady, IDC_READY_FOLDER))),
                  "Zielverzeichnis: C:\\Programme\\Pellumbra");
        EXPECT_EQ(FontOf(ui, Control(ui, kReady, IDC_READY_HEADING)), sheet_.HeaderFont.get());
        EXPECT_TRUE(Ticked(ui, kReady, IDC_INI_APPDATA));
        EXPECT_FALSE(Ticked(ui, kReady, IDC_INI_PROGRAM));
        for (int id : {IDC_INI_CUSTOM, IDC_FOLDER, IDC_INI_BROWSE, IDC_BUSY})
            EXPECT_FALSE(Visible(ui, Control(ui, kReady, id))) << id;

        // The busy line is the sheet's colour static: red, bold Arial.
        ui.OnUi([&] {
            EXPECT_EQ(sheet_.BusyText.Hwnd(), GetDlgItem(sheet_.PageWindow(kReady), IDC_BUSY));
            EXPECT_EQ(sheet_.BusyText.TextColour, RGB(255, 0, 0));
            EXPECT_EQ(sheet_.BusyText.Bold, 1);
            LOGFONTW font = {};
            GetObjectW(sheet_.BusyText.OwnFont.get(), sizeof font, &font);
            int dpi = ScreenDpi();
            EXPECT_EQ(font.lfHeight, MulDiv(18, dpi, 96));
            EXPECT_EQ(font.lfWeight, FW_BOLD);
            EXPECT_STREQ(font.lfFaceName, L"Arial");
        });

        // A choice made here is reset when the page is shown again.
        Click(ui, IDC_INI_PROGRAM);
        Back(ui);
        SetFolder(ui, L"C:\\Anders");
        Next(ui);
        EXPECT_TRUE(Ticked(ui, kReady, IDC_INI_APPDATA));
        EXPECT_FALSE(Ticked(ui, kReady, IDC_INI_PROGRAM));
        Back(ui);
        Back(ui);
        Back(ui);
        SetFolder(ui, L"C:\\Programme\\Pellumbra   ");
        WalkTo(ui, kReady);
        InstallAndLeave(ui);
    });
    ASSERT_EQ(calls_.size(), 1u);
    const InstallRequest& r = calls_[0].Request;
    EXPECT_EQ(Utf8(r.InstallFolder), "C:\\Programme\\Pellumbra");
    EXPECT_EQ(Utf8(r.IniFolder), "%APPDATA%\\Pellumbra");
    EXPECT_EQ(r.CreateDesktopLink, 1);
    EXPECT_EQ(r.CreateThumbnailsLink, 1);
    EXPECT_EQ(r.CreateGroup, 1);
    EXPECT_EQ(r.AllUsers, 0);
    EXPECT_EQ(r.AnyAssociation, 0);
    EXPECT_TRUE(SelectedRows(r).empty());
    EXPECT_EQ(r.Silent, 0);
    EXPECT_EQ(Utf8(r.Caption), Utf8(kSetupCaption));
}

// Only an enabled list counts; its ticks count again when it is enabled again.
TEST_F(WizardPageTest, TheRequestTakesTheListOnlyWhileItIsEnabled) {
    RunWizard([&](UiDriver& ui) {
        Tick(ui, IDC_DESKTOP_LINK, false);
        WalkTo(ui, kFileTypes);
        Tick(ui, IDC_WRITE_ASSOC, true);
        SetRowState(ui, 0, 2);
        SetRowState(ui, 5, 2);
        SetRowState(ui, 17, 0); // a row without a box counts as selected
        SetRowState(ui, 62, 2);
        WalkTo(ui, kReady);
        Click(ui, IDC_INI_PROGRAM);
        installResult_ = 0;
        Next(ui);
        ASSERT_EQ(Position(ui), kWelcome);

        WalkTo(ui, kFileTypes);
        Tick(ui, IDC_WRITE_ASSOC, false);
        WalkTo(ui, kReady);
        Next(ui);
        ASSERT_EQ(Position(ui), kWelcome);

        WalkTo(ui, kFileTypes);
        Tick(ui, IDC_WRITE_ASSOC, true);
        WalkTo(ui, kReady);
        InstallAndLeave(ui);
    });
    ASSERT_EQ(calls_.size(), 3u);
    const std::vector<int> chosen = {0, 5, 17, 62};
    EXPECT_EQ(SelectedRows(calls_[0].Request), chosen);
    EXPECT_EQ(calls_[0].Request.AnyAssociation, 1);
    EXPECT_EQ(calls_[0].Request.CreateDesktopLink, 0);
    EXPECT_EQ(calls_[0].Request.CreateGroup, 1);
    EXPECT_EQ(Utf8(calls_[0].Request.IniFolder), "");
    EXPECT_TRUE(SelectedRows(calls_[1].Request).empty()) << "greyed list: no associations";
    EXPECT_EQ(calls_[1].Request.AnyAssociation, 0);
    EXPECT_EQ(SelectedRows(calls_[2].Request), chosen);
    EXPECT_EQ(calls_[2].Request.AnyAssociation, 1);
}
