#pragma once

// The dialog's template with the desktop's message font (face and size) in
// place of the template's own, so that the dialog, its dialog units and so
// its whole layout follow the desktop's font, as on the other platforms.

#include <windows.h>

#include <vector>

// A copy of the extended dialog template `id` of `module` with the font
// replaced; empty when the resource is missing or not an extended template.
std::vector<BYTE> TemplateWithDesktopFont(HMODULE module, int id);
