#pragma once

#include <string>
#include <vector>

struct CommandResult {
    int exitCode = -1;  // the exit status, or 128 + the signal that ended it
    std::string out;
    std::string err;
};

// Runs `argv` (argv[0] is the program's path) in `workDir` (unless empty) with
// `env` entries ("NAME=value") added to the environment, and collects its
// standard output and standard error. Standard input is /dev/null.
CommandResult RunCommand(const std::vector<std::string>& argv, const std::string& workDir = "",
                         const std::vector<std::string>& env = {});
