// Resource and control ids of the installer, shared by its resource script,
// its code and the tests that drive its windows.
#pragma once

// Payloads: the copier and the drop handler, as custom resources "EXE".
#define IDR_PAYLOAD_COPIER      121
#define IDR_PAYLOAD_HOOK        126

// Pictures.
#define IDB_SETUP_BANNER        115
#define IDB_SETUP_MENU          137
#define IDI_SETUP_PROGRAM       131

// Setup window.
#define IDD_SETUP               100
#define IDC_SETUP_INSTALL       1013
#define IDC_SETUP_UNINSTALL     1014
#define IDC_SETUP_EXIT          1015
#define IDC_SETUP_ABOUT         1025
// Hidden unless this installer refuses to install (install_refusal.h).
#define IDC_SETUP_REFUSAL       1016

// About dialog.
#define IDD_SETUP_ABOUT         138
#define IDC_ABOUT_WEB           1039
#define IDC_ABOUT_MAIL          1040
