// Resource ids of the installer. Shared by the resource script and the code.
#pragma once

// Page templates (extended dialog templates), in wizard order 101, 108, 104, 109, 110.
#define IDD_WELCOME 101
#define IDD_WHATSNEW 108
#define IDD_FILETYPES 104
#define IDD_READY 109
#define IDD_FINISH 110
#define IDD_SETUP_EMPTY 111

#define IDB_LOGO 113
#define IDI_SETUP 111

// Named resource types and their ids.
#define IDR_CHANGES 217   // type "TXT": change history, UTF-16LE with BOM
#define IDR_PAYLOAD 1974  // type "ZIP": the viewer's payload archive

// Message table.
#define IDS_EXIT 1            // "&Beenden"
#define IDS_FINISH 2          // "&Fertig stellen"
#define IDS_QUIT_QUESTION 3   // "Installation beenden?"
#define IDS_INVALID_FOLDER 5  // "Ungültiges Zielverzeichnis!"
#define IDS_TARGET_LABEL 6    // "Zielverzeichnis"
#define IDS_INSTALL_FAILED 7
#define IDS_BROWSE_TITLE 8    // "Zielverzeichnis:"
#define IDS_ASSOC_QUESTION 9
#define IDS_VIEWER_RUNNING 10
#define IDS_CANNOT_CREATE 11

// Controls.
#define IDC_FOLDER 1000          // welcome: install folder; what's new: history; ready: hidden
#define IDC_BROWSE 1009          // welcome: "D&urchsuchen"
#define IDC_READY_FOLDER 1010    // ready: "Zielverzeichnis: ..."
#define IDC_DESKTOP_LINK 1011
#define IDC_GROUP 1012
#define IDC_WELCOME_HEADING 1013
#define IDC_READY_HEADING 1014
#define IDC_FINISH_HEADING 1015
#define IDC_CURRENT_USER 1016
#define IDC_ALL_USERS 1017
#define IDC_NO_LINKS 1019        // "&Keine"
#define IDC_START_VIEWER 1020
#define IDC_THUMBS_LINK 1021
#define IDC_SHOW_FAQ 1022
#define IDC_ALL_USERS_XP 1037    // file types: hidden, never read
#define IDC_INI_PROGRAM 1038
#define IDC_INI_APPDATA 1039
#define IDC_INI_CUSTOM 1040      // hidden
#define IDC_INI_BROWSE 1042      // hidden "&Browse"
#define IDC_BUSY 1044
#define IDC_LICENCE_LINK 1045
#define IDC_WELCOME_TEXT 1056
#define IDC_TICK_ALL 1080
#define IDC_TICK_NONE 1081
#define IDC_IMAGES_ONLY 1091
#define IDC_FILETYPE_LIST 1579
#define IDC_WRITE_ASSOC 3311
