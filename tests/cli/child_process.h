#pragma once

// Runs the built dt2pcap as a child process, with its standard output and
// error captured, or with them on a pseudo-terminal.

#include <string>
#include <vector>

namespace dt2pcap_harness {

struct Invocation {
    std::vector<std::string> args;      // after the program name
    std::string directory;              // working directory; empty: ours
    std::vector<std::string> setEnv;    // "NAME=value"
    std::vector<std::string> unsetEnv;  // names
    long fileSizeLimit = -1;            // bytes (RLIMIT_FSIZE, SIGXFSZ ignored); -1: none
    std::string stdoutFile;             // send standard output there instead of capturing it
};

struct Result {
    int status = -1;  // exit status, or 128 + signal number
    std::string out;  // standard output; on a terminal everything the terminal showed
    std::string err;  // standard error (empty on a terminal)
};

Result RunDt2pcap(const Invocation& invocation);
// Standard input, output and error on one new pseudo-terminal of 80 columns
// in raw mode (bytes pass unchanged), except standard output when
// invocation.stdoutFile is set.
Result RunDt2pcapOnTerminal(const Invocation& invocation);

} // namespace dt2pcap_harness
