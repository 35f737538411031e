#include "child_process.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace dt2pcap_harness {

namespace {

// Everything the child does between fork and exec; only returns on failure.
void BecomeDt2pcap(const Invocation& invocation, std::vector<char*>& argv)
{
    for (const std::string& name : invocation.unsetEnv)
        ::unsetenv(name.c_str());
    for (const std::string& entry : invocation.setEnv) {
        const std::size_t equals = entry.find('=');
        ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
    if (!invocation.directory.empty() && ::chdir(invocation.directory.c_str()) != 0)
        return;
    if (!invocation.stdoutFile.empty()) {
        const int fd = ::open(invocation.stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0)
            return;
        ::close(fd);
    }
    if (invocation.fileSizeLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(invocation.fileSizeLimit), static_cast<rlim_t>(invocation.fileSizeLimit)};
        ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return;
    }
    ::execv(DT2PCAP_PATH, argv.data());
}

std::vector<std::string> ArgumentStrings(const Invocation& invocation)
{
    std::vector<std::string> strings{"dt2pcap"};
    strings.insert(strings.end(), invocation.args.begin(), invocation.args.end());
    return strings;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(&s[0]);
    pointers.push_back(nullptr);
    return pointers;
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

std::string ReadAll(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, count);
    return text;
}

} // namespace

Result RunDt2pcap(const Invocation& invocation)
{
    std::vector<std::string> strings = ArgumentStrings(invocation);
    std::vector<char*> argv = Pointers(strings);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (out == nullptr || err == nullptr)
        throw std::runtime_error("tmpfile failed");

    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(fileno(out), STDOUT_FILENO);
        ::dup2(fileno(err), STDERR_FILENO);
        BecomeDt2pcap(invocation, argv);
        std::_Exit(127);
    }
    Result result;
    result.status = WaitFor(pid);
    result.out = ReadAll(out);
    result.err = ReadAll(err);
    std::fclose(out);
    std::fclose(err);
    return result;
}

Result RunDt2pcapOnTerminal(const Invocation& invocation)
{
    std::vector<std::string> strings = ArgumentStrings(invocation);
    std::vector<char*> argv = Pointers(strings);
    termios raw{};
    ::cfmakeraw(&raw);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;

    std::fflush(nullptr);
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, &raw, &size);
    if (pid < 0)
        throw std::runtime_error("forkpty failed");
    if (pid == 0) {
        BecomeDt2pcap(invocation, argv);
        std::_Exit(127);
    }
    // Linux reports EIO on the master once the child's side is closed.
    Result result;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(master, buffer, sizeof buffer);
        if (count > 0)
            result.out.append(buffer, static_cast<std::size_t>(count));
        else if (count == 0 || errno != EINTR)
            break;
    }
    ::close(master);
    result.status = WaitFor(pid);
    return result;
}

} // namespace dt2pcap_harness
