#pragma once

// The file list, owner-drawn so that a name too long for it is elided in the
// middle, as the Linux window's list is. The list keeps its strings whole:
// the selection by name, typing a name's start and the batch read them. The
// entry under the mouse shows its whole name as a tooltip.

#include <windows.h>

// The list's item height for its font, as the list would have it undrawn.
void SetFileListItemHeight(HWND list);

// Paints the entry `item` of the list: its name elided, the selection and
// focus as the list draws them itself.
void DrawFileListItem(const DRAWITEMSTRUCT& item);

// Gives `list` a tool of `tips` that follows the entry under the mouse.
void TrackFileListTips(HWND list, HWND tips);
