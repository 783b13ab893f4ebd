// Resource ids of the framework tests' own dialog templates; shared by the script and the tests.
#pragma once

// Dialog templates
#define IDD_PLAIN 200   // hidden at creation
#define IDD_VISIBLE 201 // visible template
#define IDD_SMALL 205   // plain DIALOG (not DIALOGEX)
#define IDD_MISSING 299 // no template has this id

// Controls
#define IDC_FIRST_EDIT 1100
#define IDC_SECOND_EDIT 1101
#define IDC_ACTION 1102
#define IDC_LIST 1103
#define IDC_MISSING 1199 // no control has this id
