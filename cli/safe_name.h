#pragma once

#include <string>

// A file name as it may be printed on a terminal or into a log: control
// characters become C escapes ("\n", "\t", "\x1b", ...), and so do bytes that
// are not valid UTF-8 and the C1 controls, so that one message is always one
// line and no name can move the cursor or recolour the screen.
std::string SafeName(const std::string& name);
