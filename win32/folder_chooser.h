#pragma once

#include <windows.h>

#include <string>

// The shell's folder chooser (also takes a typed path), opened on `start`.
// True with the chosen file-system folder in `chosen` (UTF-8); false when
// cancelled or when the choice has no file-system path.
bool ChooseFolder(HWND owner, const wchar_t* title, const std::string& start, std::string& chosen);
