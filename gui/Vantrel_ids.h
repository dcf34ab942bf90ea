// Control and resource identifiers of the main window, in one place so the
// window code, the resource script and the end-to-end tests agree.
#pragma once

// Controls, in focus order first; the pictures carry no tab stop.
// 1 and 2 are left out on purpose: they are IDOK and IDCANCEL.
#define IDC_NX6       101
#define IDC_NX7       102
#define IDC_OUTPUT    103
#define IDC_EXIT      104
#define IDC_REPORT    105
#define IDC_REP_CLEAR 106
#define IDC_BANNER    107

// Resources.
#define IDI_VANTREL   1
#define IDB_BANNER    201
#define IDB_REPORT    202
#define IDB_REP_CLEAR 203
