// Dialog templates of the control tests.
#pragma once

#define IDD_CONTROLS 301
#define IDD_NO_FONT 302

#define IDC_LINK_LEFT 1101
#define IDC_LINK_CENTRE 1102
#define IDC_LINK_RIGHT 1103
#define IDC_LINK_MIDDLE 1104
#define IDC_LINK_EMPTY 1105
#define IDC_BUSY_LINE 1201
#define IDC_WRAPPED 1202
#define IDC_PLAIN 1301
