// Resource and control ids of the copier.  The numbers are fixed: tests
// and other programs find the windows' controls by them.
#pragma once

// Progress window (dialog 100).
#define IDD_PROGRESS            100
#define IDC_PROGRESS_CANCEL     2       // IDCANCEL: also Escape and close box
#define IDC_PROGRESS_SLIDER     1001
#define IDC_PROGRESS_BAR        1002
#define IDC_PROGRESS_PERCENT    1003
#define IDC_PROGRESS_PAUSE      1004
#define IDC_PROGRESS_ANIMATION  1005
#define IDC_PROGRESS_FROM       1006
#define IDC_PROGRESS_TO         1007
#define IDC_PROGRESS_TIMELEFT   1008
#define IDC_PROGRESS_SPEED      1009
#define IDC_PROGRESS_LIMIT      1010
#define IDC_PROGRESS_ABOUT      1011
#define IDC_PROGRESS_BYTESLEFT  1012

// Replace dialog ("Confirm File Replace").
#define IDD_REPLACE             121
#define IDB_REPLACE_PICTURE     122
#define IDC_REPLACE_YES         6       // IDYES
#define IDC_REPLACE_NO          7       // IDNO
#define IDC_REPLACE_COPYREST    1015
#define IDC_REPLACE_ICON1       1021
#define IDC_REPLACE_ICON2       1022
#define IDC_REPLACE_EXISTDATE   1024
#define IDC_REPLACE_EXISTSIZE   1025
#define IDC_REPLACE_SOURCESIZE  1026
#define IDC_REPLACE_SOURCEDATE  1027
#define IDC_REPLACE_NOTOALL     1029
#define IDC_REPLACE_YESTOALL    1030
#define IDC_REPLACE_NAME        1044

// Error dialog.
#define IDD_ERROR               124
#define IDI_ERROR_ICON          123
#define IDC_ERROR_RETRY         1       // IDOK: manual retry, the default
#define IDC_ERROR_SKIPALL       3
#define IDC_ERROR_HEADING       1031
#define IDC_ERROR_TEXT          1032
#define IDC_ERROR_SKIP          1034
#define IDC_ERROR_AUTORETRY     1045

// About box.
#define IDD_ABOUT               125
#define IDC_ABOUT_OK            1       // IDOK
#define IDC_ABOUT_WEB           1039
#define IDC_ABOUT_MAIL          1040

// The list of items a finished job left out.
#define IDD_SKIPPED             126
#define IDC_SKIPPED_OK          1       // IDOK
#define IDC_SKIPPED_INTRO       1050
#define IDC_SKIPPED_LIST        1051
#define IDC_SKIPPED_FILE        1052
#define IDC_SKIPPED_COPY        1053

// Pictures.
#define IDR_COPY_CLIP           113     // AVI clip, 17 frames, 260 x 40
#define IDB_CANCEL              117
#define IDB_ABOUT               118
#define IDB_PAUSE               119
#define IDB_RESUME              120
#define IDI_PROGRAM             1       // program icon: first, so the shell picks it
