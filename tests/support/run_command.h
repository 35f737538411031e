#pragma once

#include <functional>
#include <string>
#include <vector>

struct CommandResult {
    int exitCode = -1;  // the exit status, or 128 + the signal that ended it
    std::string out;    // on a terminal: everything the terminal showed
    std::string err;    // on a terminal: empty
};

// Runs `argv` (argv[0] is the program's path) in `workDir` (unless empty) with
// `env` entries ("NAME=value") added to the environment, and collects its
// standard output and standard error. Standard input is /dev/null. Given a
// `stdoutPath`, standard output goes to that file (created or emptied, or
// appended to with `append`) instead.
CommandResult RunCommand(const std::vector<std::string>& argv, const std::string& workDir = "",
                         const std::vector<std::string>& env = {}, const std::string& stdoutPath = "",
                         bool append = false);

// The same with standard input, output and error on one new pseudo-terminal of
// 80 columns in raw mode, so bytes pass unchanged; standard output still goes
// to `stdoutPath` when given. `watch`, when given, sees the child's process id,
// the terminal's controlling side (to resize it with TIOCSWINSZ) and what the
// terminal has shown so far after every read, while it runs.
CommandResult RunCommandOnTerminal(const std::vector<std::string>& argv, const std::string& workDir = "",
                                   const std::vector<std::string>& env = {}, const std::string& stdoutPath = "",
                                   const std::function<void(int pid, int terminal, const std::string& shown)>& watch = {});

#ifdef _WIN32
// `name` (UTF-8) in the folder of the running test program, where the build
// puts the programs under test.
std::wstring BesideTestProgram(const std::string& name);
#endif
