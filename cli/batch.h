#pragma once

#include "console_host.h"
#include "options.h"

// Converts options.files in order and returns the exit status: 0 when all
// were converted, 1 otherwise. Without keepGoing the first failure ends the
// run with just its message; with it the other files are still converted and
// a summary line follows the messages. A write error (full disk, broken
// output) ends the run either way: the next files would fail the same way.
int ConvertAll(const Options& options, ConsoleHost& host);
