#include "run_command.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::vector<char*> Pointers(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    return args;
}

// The child's part after its standard streams are set up; never returns.
[[noreturn]] void Exec(const std::vector<char*>& args, const std::string& workDir,
                       const std::vector<std::string>& env, const std::string& stdoutPath, bool append)
{
    for (const std::string& entry : env)
        ::putenv(const_cast<char*>(entry.c_str()));
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0)
        ::_exit(126);
    if (!stdoutPath.empty()) {
        const int fd = ::open(stdoutPath.c_str(), O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC), 0644);
        if (fd < 0 || ::dup2(fd, 1) < 0)
            ::_exit(126);
        ::close(fd);
    }
    ::execv(args[0], args.data());
    ::_exit(127);
}

int WaitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            throw std::runtime_error("waitpid failed");
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

CommandResult RunCommand(const std::vector<std::string>& argv, const std::string& workDir,
                         const std::vector<std::string>& env, const std::string& stdoutPath, bool append)
{
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const std::vector<char*> args = Pointers(argv);

    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, 0);
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        Exec(args, workDir, env, stdoutPath, append);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);

    // Read both pipes as they fill, so neither can block the child.
    CommandResult result;
    struct pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char block[4096];
            const ssize_t got = ::read(fds[i].fd, block, sizeof block);
            if (got > 0) {
                sinks[i]->append(block, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    result.exitCode = WaitFor(pid);
    return result;
}

CommandResult RunCommandOnTerminal(const std::vector<std::string>& argv, const std::string& workDir,
                                   const std::vector<std::string>& env, const std::string& stdoutPath,
                                   const std::function<void(int pid, int terminal, const std::string& shown)>& watch)
{
    const std::vector<char*> args = Pointers(argv);
    termios raw{};
    ::cfmakeraw(&raw);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;

    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, &raw, &size);
    if (pid < 0)
        throw std::runtime_error("forkpty failed");
    if (pid == 0)
        Exec(args, workDir, env, stdoutPath, false);

    // Linux reports EIO on the master once the child's side is closed.
    CommandResult result;
    char block[4096];
    for (;;) {
        const ssize_t got = ::read(master, block, sizeof block);
        if (got > 0) {
            result.out.append(block, static_cast<std::size_t>(got));
            if (watch)
                watch(pid, master, result.out);
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(master);
    result.exitCode = WaitFor(pid);
    return result;
}
