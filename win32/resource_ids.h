#pragma once

// Resource ids for the resource script (windres reads #defines, not C++);
// app/resource.h numbers the same ids for the code, and a test holds the
// compiled dialog against app/'s template table.

#define IDD_CONVERTER_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_STATIC (-1)
#define IDC_FOLDER_BROWSE 1000
#define IDC_FOLDER_PATH 1001
#define IDC_FILE_LIST 1002
#define IDC_REFRESH 1003
#define IDC_SELECT_ALL 1004
#define IDC_SELECT_NONE 1005
#define IDC_START_CONVERSION 1007

// The progress dialog of a running batch.
#define IDD_PROGRESS 130
#define IDC_PROGRESS_FILE 1101
#define IDC_PROGRESS_BAR 1102
