#pragma once

#include <string>

// A file name as it may be printed on a terminal or into a log: control
// characters become C escapes ("\n", "\t", "\x1b", ...), and so do bytes that
// are not valid UTF-8 and the C1 controls; the bidirectional controls and the
// line and paragraph separators become "\u202E" and the like. One message is
// always one line, no name can move the cursor, recolour the screen or show
// its text in another order, and an empty name reads ''.
std::string SafeName(const std::string& name);
