#pragma once

// What dt2pcap needs from its system besides files, one implementation per
// platform: platform_posix.cpp (signals, isatty) and platform_windows.cpp
// (console control events, the console, wmain). Each also holds the
// program's entry point, which calls Dt2pcapMain with the arguments as UTF-8.
// The progress line's terminal is line_terminal.h's.

#include <string>
#include <vector>

int Dt2pcapMain(int argc, char** argv);

// A stop (Ctrl+C, SIGTERM, a closed terminal or console) removes the
// unfinished output before the program ends as such a stop ends it.
void PrepareProcess();

bool StandardOutputIsTerminal();
// False when the process was started with standard output closed.
bool StandardOutputIsOpen();
bool StandardErrorIsTerminal();

// True on a console of the program's own (own_console.h), which only Windows
// makes; WaitForKey asks for a key there and returns once one is pressed.
bool ConsoleIsItsOwn();
void WaitForKey();

// The file arguments with their wildcards (`*`, `?`) expanded where the
// system leaves that to the program (Windows); an argument that matches
// nothing stays as it is. Elsewhere the shell has done it: nothing changes.
void ExpandWildcards(std::vector<std::string>& files);
