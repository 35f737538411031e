#pragma once

// The folder label: one line, and a folder too long for it is shortened in
// the middle so that its last folder name stays in sight
// ("C:\Users\…\night shift\"). The system's own path ellipsis keeps only
// what follows the last backslash, which for a folder is nothing.

#include <windows.h>

#include <string>

// `folder` as it fits in `width` pixels in `dc`'s font: whole when it fits.
std::wstring ElidedFolder(HDC dc, const std::wstring& folder, int width);

// Paints the owner-drawn label `item` with its own text, elided.
void DrawFolderLabel(const DRAWITEMSTRUCT& item);
