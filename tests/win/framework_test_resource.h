// Resource ids of the framework tests' own dialog templates; shared by the script and the tests.
#pragma once

// Dialog templates
#define IDD_PLAIN 200    // hidden, at (0, 0): placed by the framework
#define IDD_VISIBLE 201  // visible template, at (0, 0)
#define IDD_PLACED 202   // at (40, 30): placed by the dialog manager
#define IDD_CENTERED 203 // DS_CENTER at (0, 0): centred by the dialog manager
#define IDD_LARGE 204    // larger than the screen, at (0, 0)
#define IDD_SMALL 205    // plain DIALOG (not DIALOGEX), at (0, 0)
#define IDD_LIST 206     // a report-style list view
#define IDD_MISSING 299  // no template has this id

// Controls
#define IDC_FIRST_EDIT 1100
#define IDC_SECOND_EDIT 1101
#define IDC_ACTION 1102
#define IDC_LIST 1103
#define IDC_MISSING 1199 // no control has this id
