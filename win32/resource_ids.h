#pragma once

// Resource ids only the Windows window has, for its resource script and its
// code (windres reads #defines, not C++). The main dialog's ids come from
// window_core/dialog_ids.h; the script gets them as #defines written at build
// time (converter_dialog_ids.h).

// The progress dialog of a running batch.
#define IDD_PROGRESS 130
#define IDC_PROGRESS_FILE 1101
#define IDC_PROGRESS_BAR 1102
