#include "dialog_template.h"

#include "dialog_ids.h"

using namespace dlgstyle;

namespace {

constexpr std::uint32_t kPushButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr std::uint32_t kLabel = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;

// IDD_CONVERTER_DIALOG DIALOGEX 0, 0, 210, 241
// STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU
// EXSTYLE WS_EX_APPWINDOW
// CAPTION "TAVRINO pcap converter"
// FONT 9, "ＭＳ Ｐゴシック", 0, 0, 0x1
const DialogItemTemplate kItems[] = {
    // id                  class      text                 x    y    cx   cy   style
    {IDC_START_CONVERSION, "button",  "Start &conversion", 140, 220, 65,  14,  kPushButton},
    {IDC_STATIC,           "button",  "&Folder",           5,   5,   200, 40,  WS_CHILD | WS_VISIBLE | BS_GROUPBOX},
    {IDC_FOLDER_PATH,      "static",  "Static",            10,  15,  170, 25,  kLabel},
    {IDC_FOLDER_BROWSE,    "button",  "...",               190, 15,  10,  14,  kPushButton},
    {IDC_STATIC,           "static",  "File &list:",       5,   50,  35,  8,   kLabel},
    // Drawn by the Windows window, which elides long names in the middle;
    // it keeps its strings, so typing a name's start still finds it.
    {IDC_FILE_LIST,        "listbox", "",                  10,  60,  125, 175,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_MULTIPLESEL |
         LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT},
    {IDC_REFRESH,          "button",  "&Refresh",          140, 60,  65,  14,  kPushButton},
    {IDC_SELECT_ALL,       "button",  "Select &all",       140, 90,  65,  14,  kPushButton},
    {IDC_SELECT_NONE,      "button",  "&No select",        140, 110, 65,  14,  kPushButton},
};

} // namespace

const DialogTemplate kConverterDialogTemplate = {
    IDD_CONVERTER_DIALOG,
    0, 0, 210, 241,
    DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
    WS_EX_APPWINDOW,
    "TAVRINO pcap converter",
    9,
    "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF",  // ＭＳ Ｐゴシック
    kItems,
    sizeof kItems / sizeof kItems[0],
};
