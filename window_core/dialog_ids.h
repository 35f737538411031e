#pragma once

// Resource ids of the converter window, each named and numbered once. The
// constants below are what the code uses; dialog_rc_writer.cpp writes the same
// list as #defines for the Windows resource script.

#define TPC_CONVERTER_DIALOG_IDS(ID) \
    ID(IDD_CONVERTER_DIALOG, 102)    \
    ID(IDR_MAINFRAME, 128)           \
    ID(IDC_STATIC, -1)               \
    ID(IDC_FOLDER_BROWSE, 1000)      \
    ID(IDC_FOLDER_PATH, 1001)        \
    ID(IDC_FILE_LIST, 1002)          \
    ID(IDC_REFRESH, 1003)            \
    ID(IDC_SELECT_ALL, 1004)         \
    ID(IDC_SELECT_NONE, 1005)        \
    ID(IDC_START_CONVERSION, 1007)

#define TPC_DEFINE_DIALOG_ID(name, value) constexpr int name = value;
TPC_CONVERTER_DIALOG_IDS(TPC_DEFINE_DIALOG_ID)
#undef TPC_DEFINE_DIALOG_ID
