#pragma once

// Resource ids of the converter window, as the resource script numbers them.

constexpr int IDD_CONVERTER_DIALOG = 102;
constexpr int IDR_MAINFRAME = 128;

constexpr int IDC_STATIC = -1;
constexpr int IDC_FOLDER_BROWSE = 1000;
constexpr int IDC_FOLDER_PATH = 1001;
constexpr int IDC_FILE_LIST = 1002;
constexpr int IDC_REFRESH = 1003;
constexpr int IDC_SELECT_ALL = 1004;
constexpr int IDC_SELECT_NONE = 1005;
constexpr int IDC_START_CONVERSION = 1007;
