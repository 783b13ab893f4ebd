// The floor resident's resource ids, shared by its script and its code.
#pragma once

#define IDI_FLOOR 1
#define IDD_FLOOR 100
#define IDC_FLOOR_LIST 101
#define IDD_FLOOR_STORE 102
