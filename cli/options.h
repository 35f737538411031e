#pragma once

#include <optional>
#include <string>
#include <vector>

// What the command line asks for.
struct Options {
    std::vector<std::string> files;
    std::string output;    // empty: beside each input; "-": standard output
    std::optional<std::string> timeZone;  // none: the machine's zone
    bool keepGoing = false;
    bool quiet = false;
    bool verbose = false;  // a summary line per converted file
};

enum class ParseResult { Run, Help, Version, NoFiles, UsageError };

// Reads argv with GNU getopt_long conventions (options and files may mix,
// "--" ends the options, long names may be shortened while unambiguous). On
// UsageError `error` holds a one-line reason in getopt_long's words; NoFiles
// is the usage error of a command line without any capture file.
ParseResult ParseOptions(int argc, char** argv, Options& options, std::string& error);

// The --help text.
extern const char kUsage[];
