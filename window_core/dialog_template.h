#pragma once

// The converter dialog, the one description both windows build theirs from:
// caption, size in dialog units, font, and the controls in template order
// (creation and tab order). The Qt window lays its widgets out from this
// table; the Windows resource script's dialog is written from it at build
// time (dialog_rc_writer.cpp).

#include <cstddef>
#include <cstdint>

namespace dlgstyle {

// Window styles.
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_VSCROLL = 0x00200000;
constexpr std::uint32_t WS_SYSMENU = 0x00080000;
constexpr std::uint32_t WS_GROUP = 0x00020000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;
// Dialog styles.
constexpr std::uint32_t DS_SETFONT = 0x40;
constexpr std::uint32_t DS_MODALFRAME = 0x80;
// Button styles (low four bits: the kind).
constexpr std::uint32_t BS_PUSHBUTTON = 0x0;
constexpr std::uint32_t BS_GROUPBOX = 0x7;
constexpr std::uint32_t BS_TYPEMASK = 0xF;
// Static styles.
constexpr std::uint32_t SS_LEFT = 0x0;
// List box styles.
constexpr std::uint32_t LBS_NOTIFY = 0x0001;
constexpr std::uint32_t LBS_SORT = 0x0002;
constexpr std::uint32_t LBS_MULTIPLESEL = 0x0008;
constexpr std::uint32_t LBS_OWNERDRAWFIXED = 0x0010;
constexpr std::uint32_t LBS_HASSTRINGS = 0x0040;
constexpr std::uint32_t LBS_NOINTEGRALHEIGHT = 0x0100;

} // namespace dlgstyle

// One control: position and size in dialog units.
struct DialogItemTemplate {
    int id;
    const char* windowClass;  // "button", "static" or "listbox"
    const char* text;
    int x, y, cx, cy;
    std::uint32_t style;
};

struct DialogTemplate {
    int id;
    int x, y, cx, cy;  // cx, cy: the client area
    std::uint32_t style;
    std::uint32_t exStyle;
    const char* caption;
    int pointSize;
    const char* typeface;  // UTF-8
    const DialogItemTemplate* items;
    std::size_t itemCount;
};

extern const DialogTemplate kConverterDialogTemplate;
