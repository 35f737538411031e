#pragma once

// What the window says about its command line: the answers to --help and
// --version, which it gives instead of opening (printed on Linux, in a
// message box on Windows), and the arguments it refused to open on.

#include "start_place.h"

#include <string>
#include <vector>

// How to start the window: its arguments, and where it opens without them.
std::string WindowUsageText();

// The name and version, then the copyright and licence as dt2pcap prints them.
std::string WindowVersionText();

// One RefusalText a line, in the order given; empty when none was refused.
std::string RefusalLines(const std::vector<RefusedArgument>& refused);
