// Resource ids, named by kind; shared by the resource script and the code.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102
#define IDD_ENTRY_EDITOR 129

// Strings
#define IDS_ABOUTBOX 101
// Messages and texts of the code, by the part that shows them
#define IDS_HANDOFF_TOO_LONG 200
#define IDS_HANDOFF_FAILED 201
#define IDS_RESIDENT_HUNG 202
#define IDS_QUOTE_REFUSED 203
#define IDS_EXIT 204
#define IDS_LAUNCH_FAILED 205
#define IDS_LINE_TOO_LONG 206
#define IDS_PROGRAM_FILTER 207
#define IDS_NO_TITLE 208
#define IDS_TITLE_BACKSLASH 209
#define IDS_TITLE_TOO_LONG 210
#define IDS_TITLE_DUPLICATE 211
#define IDS_COMMAND_TOO_LONG 212
#define IDS_PARAMETERS_TOO_LONG 213
#define IDS_DELETE_QUESTION 214
#define IDS_DELETE_CAPTION 215
#define IDS_COLUMN_TITLE 216
#define IDS_COLUMN_COMMAND 217
#define IDS_COLUMN_PARAMETERS 218
#define IDS_CONFLICT_CAPTION 219
#define IDS_CHANGED 220
#define IDS_DELETED 221
#define IDS_TAKEN 222
#define IDS_CHANGED_BEFORE_DELETE 223
#define IDS_ATOM_NOT_DELETED 224
#define IDS_ERROR_CAPTION 225
#define IDS_INTERNAL_ERROR 226
#define IDS_TRAY_TIP 227
#define IDS_NO_PROGRAMS_FOUND 228

// Icons
#define IDI_APP 128

// Controls of the main dialog
#define IDC_ADD 1000
#define IDC_EDIT 1002
#define IDC_DELETE 1004
#define IDC_UP 1005
#define IDC_DOWN 1006
#define IDC_VIEWER_LIST 1007

// Controls of the entry editor
#define IDC_BROWSE 1003
#define IDC_TITLE 1008
#define IDC_COMMAND 1009
#define IDC_PARAMETERS 1010
#define IDC_FOUND_PROGRAMS 1014

// Controls of the About box
#define IDC_ABOUT_VERSION 1011
#define IDC_ABOUT_NOTE 1012
#define IDC_ABOUT_ICON 1013

// System-menu command of the About box
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
