// The resources of the built installer, read back from setup.exe loaded as a
// data file: directory and languages, messages, page templates, logo, icon,
// version record, manifest and change history.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "resources/resource_reader.h"
#include "support/wide_print.h"

namespace {

class SetupResources : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { module_ = LoadAsDataFile(PEL_SETUP_EXE).release(); }
    static void TearDownTestSuite() {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << Utf8(PEL_SETUP_EXE); }

    static std::string Resource(const wchar_t* type, unsigned id) {
        std::string bytes;
        EXPECT_TRUE(ReadResource(module_, type, id, &bytes)) << "resource " << id << " missing";
        return bytes;
    }

    static std::wstring Message(unsigned id) {
        wchar_t buf[1024] = {};
        int n = LoadStringW(module_, id, buf, 1024);
        return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
    }

    static HMODULE module_;
};

HMODULE SetupResources::module_ = nullptr;

template <typename T> T At(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// The whole resource directory: every type, id and language, and nothing else
// (a second manifest or a stray resource from the toolchain would show here).
TEST_F(SetupResources, DirectoryHoldsExactlyTheResourceSetWithItsLanguages) {
    std::vector<std::string> actual = ListResources(module_);
    std::vector<std::string> expected = {
        "TXT/217/3079", "ZIP/1974/3079", "2/113/3079",  "3/1/3079",   "3/2/3079",
        "5/101/1033",   "5/104/1033",    "5/108/1033",  "5/109/1033", "5/110/1033",
        "5/111/1033",   "6/1/3079",      "14/111/3079", "16/1/3079",  "24/1/1033",
    };
    std::sort(actual.begin(), actual.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(actual, expected);
}

TEST_F(SetupResources, MessagesHaveTheirExactGermanTexts) {
    struct Case {
        unsigned id;
        const wchar_t* text;
    };
    const Case cases[] = {
        {IDS_EXIT, L"&Beenden"},
        {IDS_FINISH, L"&Fertig stellen"},
        {IDS_QUIT_QUESTION, L"Installation beenden?"},
        {IDS_INVALID_FOLDER, L"Ung\u00fcltiges Zielverzeichnis!"},
        {IDS_TARGET_LABEL, L"Zielverzeichnis"},
        {IDS_INSTALL_FAILED,
         L"Fehler beim Installieren!\n\n\u00dcberpr\u00fcfen Sie bitte ob Pellumbra l\u00e4uft, "
         L"das "
         L"Zielverzeichnis voll ist oder keine Schreibrechte vorhanden sind!\n\n(Der Installer "
         L"sollte im ADMIN-Modus gestartet werden, z.B. den Installer mit der rechten Maustaste "
         L"anklicken)"},
        {IDS_BROWSE_TITLE, L"Zielverzeichnis:"},
        {IDS_ASSOC_QUESTION,
         L"Sie m\u00f6chten die aktuellen Verkn\u00fcpfungen \u00e4ndern und einen oder mehrere "
         L"Dateitypen mit Pellumbra verkn\u00fcpfen!\n\nSind Sie sicher!?"},
        {IDS_VIEWER_RUNNING,
         L"Warnung: Pellumbra l\u00e4uft!\nBeenden Sie bitte Pellumbra bevor Sie mit der "
         L"Installation fortsetzen!"},
        {IDS_CANNOT_CREATE,
         L"Kann Zielverzeichnis nicht erstellen!\n\nBitte \u00fcberpr\u00fcfen Sie Ihre "
         L"Schreibrechte und System-Policies!\n\nVersuchen Sie das Zielverzeichnis zuerst "
         L"h\u00e4ndisch zu erstellen."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Message(c.id), c.text) << "message " << c.id;
    // Nothing is stored under 0, 4 or beyond 11.
    EXPECT_EQ(Message(0), L"");
    EXPECT_EQ(Message(4), L"");
    EXPECT_EQ(Message(12), L"");
    EXPECT_EQ(Message(16), L"");
}

// Messages 6 and 8 are read into 50-character buffers, message 10 into 260:
// each must fit with its terminator, or the reader would cut it.
TEST_F(SetupResources, MessagesFitTheBuffersTheyAreReadInto) {
    wchar_t small[50];
    EXPECT_EQ(LoadStringW(module_, IDS_TARGET_LABEL, small, 50), 15);
    EXPECT_EQ(LoadStringW(module_, IDS_BROWSE_TITLE, small, 50), 16);
    EXPECT_LE(Message(IDS_TARGET_LABEL).size(), 49u);
    EXPECT_LE(Message(IDS_BROWSE_TITLE).size(), 49u);
    EXPECT_LE(Message(IDS_VIEWER_RUNNING).size(), 259u);
    // A buffer one character too small cuts the text: the check above is real.
    wchar_t tight[15];
    EXPECT_EQ(LoadStringW(module_, IDS_TARGET_LABEL, tight, 15), 14);
}

// Expected item of a page template. Class: an ordinal (0x80 button, 0x81 edit,
// 0x82 static) or, for the list view, a class name.
struct ItemSpec {
    DWORD id;
    WORD classOrdinal;
    DWORD style;
    const wchar_t* text; // nullptr: the text is the ordinal of the logo
    short x, y, cx, cy;
};

constexpr DWORD kNoId = 0xFFFFFFFF;
constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListView = 0;
constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kText = kShown | WS_GROUP | SS_LEFT;
constexpr DWORD kPicture = kShown | SS_BITMAP;
constexpr DWORD kGroupBox = kShown | BS_GROUPBOX;
constexpr DWORD kCheck = kShown | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kPush = kShown | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kFirstRadio = kShown | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD kRadio = kShown | BS_AUTORADIOBUTTON;
constexpr DWORD kLineEdit = kShown | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;

const ItemSpec kWelcome[] = {
    {kNoId, kStatic, kPicture, nullptr, 9, 7, 59, 19},
    {IDC_WELCOME_HEADING, kStatic, kText, L"Willkommen zur Pellumbra %s Installation!", 71, 10, 228,
     32},
    {IDC_WELCOME_TEXT, kStatic, kText,
     L"Dieses Programm wird Pellumbra Version  %s  (%s bit) auf Ihrem PC installieren.\n(Bitte "
     L"mit Admin-Rechten ausf\u00fchren)",
     9, 48, 287, 21},
    {kNoId, kButton, kGroupBox, L"Verkn\u00fcpfungen erzeugen:", 9, 72, 281, 79},
    {IDC_DESKTOP_LINK, kButton, kCheck, L"Pellumbra-Verkn\u00fcpfung auf dem &Desktop", 17, 86, 182,
     9},
    {IDC_THUMBS_LINK, kButton, kCheck, L"Thu&mbnails-Verkn\u00fcpfung auf dem &Desktop", 17, 98,
     192, 9},
    {IDC_GROUP, kButton, kCheck, L"Pellumbra-Verkn\u00fcpfung im Start-Men\u00fc -> &Programme", 17,
     110, 199, 9},
    {IDC_NO_LINKS, kButton, kPush, L"&Keine", 234, 95, 50, 15},
    {IDC_CURRENT_USER, kButton, kFirstRadio, L"Nur f\u00fcr den aktuellen &Benutzer", 17, 125, 134,
     9},
    {IDC_ALL_USERS, kButton, kRadio, L"F\u00fcr &alle Benutzer", 17, 136, 139, 9},
    {kNoId, kButton, kGroupBox, L"Zielverzeichnis:", 9, 165, 281, 33},
    {IDC_FOLDER, kEdit, kLineEdit, L"", 17, 177, 212, 12},
    {IDC_BROWSE, kButton, kPush, L"D&urchsuchen", 234, 176, 50, 15},
    {IDC_LICENCE_LINK, kStatic, kText, L"Pellumbra EULA", 9, 207, 54, 10},
    {kNoId, kStatic, kText, L"(End User License Agreement) lesen.", 63, 207, 157, 10},
};

const ItemSpec kWhatsNew[] = {
    {kNoId, kStatic, kText, L"Was ist neu in dieser Version?", 0, 0, 113, 9},
    {IDC_FOLDER, kEdit,
     kShown | WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
         ES_AUTOHSCROLL,
     L"", 0, 11, 299, 211},
};

const ItemSpec kFileTypes[] = {
    {kNoId, kButton, kGroupBox,
     L"M\u00f6chten Sie Dateien mit Pellumbra verkn\u00fcpfen? (OPTIONAL !)", 0, 0, 299, 204},
    {kNoId, kStatic, kText,
     L"INFO: in Win10/11 muss man verwenden: System-Einstellungen, Apps, Standard-Apps !", 7, 13,
     289, 8},
    {IDC_WRITE_ASSOC, kButton, kCheck | BS_MULTILINE,
     L"Schreibe Verkn\u00fcpfungen in System-&Registry (f\u00fcr XP, Vista, Win7, Win8, NICHT "
     L"f\u00fcr Win/11)",
     7, 23, 290, 16},
    {IDC_FILETYPE_LIST, kListView,
     kShown | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_AUTOARRANGE |
         LVS_NOSORTHEADER,
     L"List1", 7, 39, 285, 143},
    {kNoId, kStatic, kText,
     L"INFO: wenn Sie ein Update durchf\u00fchren, k\u00f6nnen Sie diesen Schritt "
     L"\u00fcberspringen",
     7, 188, 285, 8},
    {kNoId, kStatic, kText, L"* - PlugIns", 0, 209, 40, 10},
    {IDC_IMAGES_ONLY, kButton, kPush, L"Nur Bilder", 45, 207, 56, 15},
    {IDC_TICK_ALL, kButton, kPush, L"Alle markieren", 106, 207, 56, 15},
    {IDC_TICK_NONE, kButton, kPush, L"Keine markieren", 167, 207, 56, 15},
    {IDC_ALL_USERS_XP, kButton, kCheck, L"F\u00fcr alle User (XP)", 231, 209, 68, 10},
};

const ItemSpec kReady[] = {
    {IDC_READY_HEADING, kStatic, kText, L"Bereit zum Installieren!", 9, 11, 179, 11},
    {IDC_READY_FOLDER, kStatic, kText, L"Zielverzeichnis:", 9, 53, 260, 10},
    {kNoId, kButton, kGroupBox, L"INI-Verzeichnis \u00e4ndern (optional):", 9, 83, 281, 40},
    {IDC_INI_PROGRAM, kButton, kFirstRadio | BS_MULTILINE,
     L"&Pellumbra-Verzeichnis (f\u00fcr Fortgeschrittene: ben\u00f6tigt Admin-Rechte f\u00fcrs "
     L"Schreiben)",
     17, 93, 270, 16},
    {IDC_INI_APPDATA, kButton, kRadio, L"\"&Anwendungsdaten\"-Verzeichnis (empfohlen)", 17, 110,
     266, 10},
    {IDC_INI_CUSTOM, kButton, WS_CHILD | BS_AUTORADIOBUTTON, L"Custom folder:", 17, 124, 61, 10},
    {IDC_FOLDER, kEdit, WS_CHILD | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, L"", 29, 136,
     200, 12},
    {IDC_INI_BROWSE, kButton, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, L"&Browse", 233, 135, 50, 15},
    {kNoId, kStatic, kPicture, nullptr, 227, 8, 59, 19},
    {kNoId, kStatic, kText,
     L"Dr\u00fccken Sie den \"Weiter\" Knopf um die Installation zu starten ...", 9, 189, 235, 12},
    {IDC_BUSY, kStatic, WS_CHILD | WS_GROUP | SS_CENTER | SS_CENTERIMAGE,
     L"Installiere ... bitte warten ...", 19, 161, 260, 15},
};

const ItemSpec kFinish[] = {
    {IDC_FINISH_HEADING, kStatic, kText, L"Einrichtung abgeschlossen!", 5, 11, 186, 18},
    {kNoId, kStatic, kPicture, nullptr, 235, 8, 59, 19},
    {kNoId, kStatic, kText,
     L"Die Installation dieses Programms auf Ihrem Computer ist abgeschlossen.", 5, 35, 270, 8},
    {kNoId, kStatic, kText, L"Anschlie\u00dfend ...", 5, 134, 265, 9},
    {IDC_SHOW_FAQ, kButton, kCheck,
     L"Pellumbra &FAQs (H\u00e4ufig gestellte Fragen) Webseite anzeigen", 5, 149, 265, 10},
    {IDC_START_VIEWER, kButton, kCheck, L"Pellumbra &starten", 5, 163, 265, 10},
    {kNoId, kStatic, kText, nullptr /* 72 underscores, checked below */, 5, 174, 288, 8},
    {kNoId, kStatic, kText,
     L"Pellumbra deinstallieren?\n\nGehen Sie zu \"Start->Programme->Pellumbra\" und starten "
     L"Sie \"Pellumbra deinstallieren\".",
     5, 186, 265, 34},
};

struct PageSpec {
    unsigned id;
    const ItemSpec* items;
    size_t count;
};

void ExpectItems(const DialogTemplate& d, const ItemSpec* items, size_t count, unsigned pageId) {
    ASSERT_EQ(d.items.size(), count) << "template " << pageId;
    for (size_t i = 0; i < count; ++i) {
        const DialogItem& item = d.items[i];
        const ItemSpec& want = items[i];
        SCOPED_TRACE("template " + std::to_string(pageId) + " item " + std::to_string(i));
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.style, want.style) << std::hex << item.style << " != " << want.style;
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.extraCount, 0u);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        if (want.classOrdinal == kListView) {
            ASSERT_FALSE(item.windowClass.isOrdinal);
            // Window class names are matched without regard to case.
            EXPECT_EQ(_wcsicmp(item.windowClass.text.c_str(), WC_LISTVIEWW), 0)
                << Utf8(item.windowClass.text);
        } else {
            EXPECT_TRUE(item.windowClass.isOrdinal);
            EXPECT_EQ(item.windowClass.ordinal, want.classOrdinal);
        }
        if (want.style == kPicture) {
            EXPECT_TRUE(item.title.isOrdinal);
            EXPECT_EQ(item.title.ordinal, IDB_LOGO);
        } else if (want.text) {
            EXPECT_FALSE(item.title.isOrdinal);
            EXPECT_EQ(item.title.text, want.text) << Utf8(item.title.text);
        } else {
            EXPECT_EQ(item.title.text, std::wstring(72, L'_'));
        }
    }
}

TEST_F(SetupResources, PageTemplatesHoldEveryControlAsLaidOut) {
    const PageSpec pages[] = {
        {IDD_WELCOME, kWelcome, sizeof kWelcome / sizeof kWelcome[0]},
        {IDD_WHATSNEW, kWhatsNew, sizeof kWhatsNew / sizeof kWhatsNew[0]},
        {IDD_FILETYPES, kFileTypes, sizeof kFileTypes / sizeof kFileTypes[0]},
        {IDD_READY, kReady, sizeof kReady / sizeof kReady[0]},
        {IDD_FINISH, kFinish, sizeof kFinish / sizeof kFinish[0]},
    };
    for (const PageSpec& page : pages) {
        SCOPED_TRACE("template " + std::to_string(page.id));
        DialogTemplate d;
        ASSERT_TRUE(ParseDialogTemplate(Resource(MAKEINTRESOURCEW(5), page.id), &d));
        EXPECT_EQ(d.style, static_cast<DWORD>(WS_CHILD | WS_BORDER | DS_SETFONT));
        EXPECT_EQ(d.style, 0x40800040u);
        EXPECT_EQ(d.exStyle, 0u);
        EXPECT_EQ(d.helpId, 0u);
        EXPECT_EQ(d.x, 0);
        EXPECT_EQ(d.y, 0);
        EXPECT_EQ(d.cx, 300);
        EXPECT_EQ(d.cy, 222);
        EXPECT_TRUE(!d.menu.isOrdinal && d.menu.text.empty());
        EXPECT_TRUE(!d.windowClass.isOrdinal && d.windowClass.text.empty());
        EXPECT_EQ(d.title, L"");
        EXPECT_EQ(d.pointSize, 8);
        EXPECT_EQ(d.weight, 400);
        EXPECT_EQ(d.italic, 0);
        EXPECT_EQ(d.charset, 0);
        EXPECT_EQ(d.typeface, L"Microsoft Sans Serif");
        ExpectItems(d, page.items, page.count, page.id);
    }
}

TEST_F(SetupResources, SpareTemplateIsAnEmptyCaptionedDialog) {
    DialogTemplate d;
    ASSERT_TRUE(ParseDialogTemplate(Resource(MAKEINTRESOURCEW(5), IDD_SETUP_EMPTY), &d));
    EXPECT_EQ(d.style, static_cast<DWORD>(WS_CHILD | WS_CAPTION | DS_SETFONT));
    EXPECT_EQ(d.cx, 315);
    EXPECT_EQ(d.cy, 222);
    EXPECT_EQ(d.title, L"Pellumbra Setup");
    EXPECT_EQ(d.typeface, L"Microsoft Sans Serif");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_TRUE(d.items.empty());
}

// The dialog manager builds the welcome page from the template, and its picture
// item finds the logo in the same module.
TEST_F(SetupResources, WelcomeTemplateCreatesAPageWithTheLogo) {
    std::string bytes = Resource(MAKEINTRESOURCEW(5), IDD_WELCOME);
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    HWND page = CreateDialogIndirectParamW(
        module_, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), host,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(page, nullptr);
    HWND picture = GetWindow(page, GW_CHILD);
    ASSERT_NE(picture, nullptr);
    EXPECT_NE(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    wchar_t text[128] = {};
    GetDlgItemTextW(page, IDC_WELCOME_HEADING, text, 128);
    EXPECT_STREQ(text, L"Willkommen zur Pellumbra %s Installation!");
    DestroyWindow(page);
    DestroyWindow(host);
}

TEST_F(SetupResources, LogoIsA16ColourBottomUpBitmapOf88By31) {
    std::string bmp = Resource(MAKEINTRESOURCEW(2), IDB_LOGO);
    ASSERT_EQ(bmp.size(), 1468u);
    BITMAPINFOHEADER h = At<BITMAPINFOHEADER>(bmp, 0);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 88);
    EXPECT_EQ(h.biHeight, 31); // positive: bottom-up
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 4);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h.biSizeImage, 1364u);
    EXPECT_EQ(h.biXPelsPerMeter, 2835);
    EXPECT_EQ(h.biYPelsPerMeter, 2835);
    EXPECT_EQ(h.biClrUsed, 16u);
    EXPECT_EQ(h.biClrImportant, 16u);
    EXPECT_EQ(40u + 16u * 4u + 1364u, bmp.size());
}

TEST_F(SetupResources, IconGroupHolds32And16PixelImagesOf256Colours) {
    std::string group = Resource(RT_GROUP_ICON, IDI_SETUP);
    ASSERT_EQ(group.size(), 34u);
    EXPECT_EQ(At<WORD>(group, 0), 0); // reserved
    EXPECT_EQ(At<WORD>(group, 2), 1); // icons
    ASSERT_EQ(At<WORD>(group, 4), 2);
    struct Entry {
        BYTE size;
        DWORD bytes;
        WORD id;
    };
    const Entry entries[] = {{32, 2216, 1}, {16, 1384, 2}};
    for (int i = 0; i < 2; ++i) {
        size_t e = 6 + 14 * i;
        SCOPED_TRACE(i);
        EXPECT_EQ(At<BYTE>(group, e), entries[i].size);
        EXPECT_EQ(At<BYTE>(group, e + 1), entries[i].size);
        EXPECT_EQ(At<BYTE>(group, e + 2), 0); // colour count 0: 256 colours
        EXPECT_EQ(At<WORD>(group, e + 4), 1); // planes
        EXPECT_EQ(At<WORD>(group, e + 6), 8); // bits per pixel
        EXPECT_EQ(At<DWORD>(group, e + 8), entries[i].bytes);
        EXPECT_EQ(At<WORD>(group, e + 12), entries[i].id);

        std::string image = Resource(RT_ICON, entries[i].id);
        ASSERT_EQ(image.size(), entries[i].bytes);
        BITMAPINFOHEADER h = At<BITMAPINFOHEADER>(image, 0);
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, entries[i].size);
        EXPECT_EQ(h.biHeight, 2 * entries[i].size); // image and mask
        EXPECT_EQ(h.biBitCount, 8);
        HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(&image[0]),
                                              static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                              entries[i].size, entries[i].size, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr);
        if (icon)
            DestroyIcon(icon);
    }
}

std::wstring VersionString(const std::vector<char>& block, const std::wstring& item) {
    void* value = nullptr;
    UINT length = 0;
    std::wstring key = L"\\StringFileInfo\\0c0704b0\\" + item;
    if (!VerQueryValueW(block.data(), key.c_str(), &value, &length) || !value)
        return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

TEST_F(SetupResources, VersionRecordNames466AndTheInstallerInAustrianGerman) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(PEL_SETUP_EXE, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(PEL_SETUP_EXE, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x40042u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x40042u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);

    EXPECT_EQ(VersionString(block, L"Comments"), L"Pellumbra 64-bit Installer");
    EXPECT_EQ(VersionString(block, L"CompanyName"), L"Marrowick");
    EXPECT_EQ(VersionString(block, L"FileDescription"), L"Pellumbra 64-bit Installer");
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"4.66.0.0");
    EXPECT_EQ(VersionString(block, L"InternalName"), L"Pellumbra 64-bit Installer");
    EXPECT_EQ(VersionString(block, L"LegalCopyright"), L"\u00a9 2026 Marrowick");
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"setup.exe");
    EXPECT_EQ(VersionString(block, L"ProductName"), L"Pellumbra 64-bit Installer");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"4.66.0.0");

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0C07);
    EXPECT_EQ(translation[1], 1200);
}

TEST_F(SetupResources, ManifestAsksForHighestRightsCommonControls6AndPerMonitorDpi) {
    std::string xml = Resource(RT_MANIFEST, 1);
    auto has = [&xml](const char* text) { return xml.find(text) != std::string::npos; };
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", 0), 0u);
    EXPECT_TRUE(
        has("<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"));
    EXPECT_TRUE(has("<assemblyIdentity version=\"1.0.0.0\" processorArchitecture=\"*\" "
                    "name=\"Pellumbra\" type=\"win32\"/>"));
    EXPECT_TRUE(has("<description>Pellumbra - Universal picture viewer</description>"));
    EXPECT_TRUE(has("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">"));
    EXPECT_TRUE(has("<requestedExecutionLevel level=\"highestAvailable\"/>"));
    EXPECT_FALSE(has("uiAccess"));
    EXPECT_TRUE(has("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_TRUE(has("publicKeyToken=\"6595b64144ccf1df\" language=\"*\""));
    EXPECT_TRUE(has("<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">"));
    EXPECT_TRUE(has(">True/PM</dpiAware>"));
    // Windows 10 and 11 only report their own version to a program that names them.
    EXPECT_TRUE(has("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"));
}

// The what's-new page shows this text as it is (mark included) after cutting
// trailing non-alphanumerics; it holds 10,239 characters at most.
TEST_F(SetupResources, ChangeHistoryIsUtf16WithMarkAndCrLfLines) {
    std::string bytes = Resource(L"TXT", IDR_CHANGES);
    ASSERT_GE(bytes.size(), 4u);
    ASSERT_EQ(bytes.size() % 2, 0u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    std::wstring text(bytes.size() / 2 - 1, L'\0');
    std::memcpy(&text[0], bytes.data() + 2, bytes.size() - 2);

    EXPECT_GT(text.size(), 2000u);
    EXPECT_LT(text.size() + 1, 10239u);
    EXPECT_EQ(text.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(text.find(L'\xFEFF'), std::wstring::npos);
    ASSERT_GE(text.size(), 16u);
    EXPECT_EQ(text.substr(text.size() - 16), L"installieren\r\n  ");
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == L'\r') << "bare LF at " << i;
        }
        if (text[i] == L'\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == L'\n') << "bare CR at " << i;
        }
    }

    // Lines: version headers framed by hyphen lines, items "- ", continuations
    // indented; 4.66 first, then 4.65.
    std::vector<std::wstring> lines;
    for (size_t start = 0;;) {
        size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos)
            break;
        start = end + 2;
    }
    auto isRule = [](const std::wstring& l) {
        return l.size() >= 10 && l.find_first_not_of(L'-') == std::wstring::npos;
    };
    std::vector<std::wstring> versions;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::wstring& l = lines[i];
        if (l.empty() || isRule(l) || l.compare(0, 2, L"- ") == 0 || l.compare(0, 2, L"  ") == 0)
            continue;
        ASSERT_TRUE(i > 0 && i + 1 < lines.size() && isRule(lines[i - 1]) && isRule(lines[i + 1]))
            << "unframed line " << Utf8(l);
        versions.push_back(l);
    }
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_NE(versions[0].find(L"4.66"), std::wstring::npos);
    EXPECT_NE(versions[1].find(L"4.65"), std::wstring::npos);
}

} // namespace
