// Running a program on Windows: CreateProcessW with its standard output and
// error on pipes (or output into a file), standard input from NUL.

#include "run_command.h"

#include <windows.h>

#include <stdexcept>
#include <thread>

namespace {

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], length);
    return out;
}

// One argument as CommandLineToArgvW (and the C runtime) will split it back.
std::wstring Quote(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

// A program named without a folder is the one beside this test program.
std::wstring ProgramPath(const std::string& name)
{
    return name.find_first_of("\\/") != std::string::npos ? Wide(name) : BesideTestProgram(name);
}

// The current environment with `changes` ("NAME=value") put over it.
std::wstring Environment(const std::vector<std::string>& changes)
{
    std::vector<std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1)
        entries.emplace_back(entry);
    FreeEnvironmentStringsW(block);
    for (const std::string& change : changes) {
        const std::wstring wide = Wide(change);
        const std::wstring name = wide.substr(0, wide.find(L'=') + 1);
        for (auto it = entries.begin(); it != entries.end();)
            it = _wcsnicmp(it->c_str(), name.c_str(), name.size()) == 0 ? entries.erase(it) : it + 1;
        entries.push_back(wide);
    }
    std::wstring out;
    for (const std::wstring& entry : entries)
        out += entry + L'\0';
    return out + L'\0';
}

struct Pipe {
    HANDLE read = nullptr, write = nullptr;
};

Pipe InheritablePipe()
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Pipe pipe;
    if (!CreatePipe(&pipe.read, &pipe.write, &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    SetHandleInformation(pipe.read, HANDLE_FLAG_INHERIT, 0);
    return pipe;
}

void Drain(HANDLE from, std::string& into)
{
    char block[4096];
    DWORD got = 0;
    while (ReadFile(from, block, sizeof block, &got, nullptr) && got > 0)
        into.append(block, got);
}

} // namespace

std::wstring BesideTestProgram(const std::string& name)
{
    // Grown until the whole path fits.
    std::wstring self(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, &self[0], static_cast<DWORD>(self.size()))) == self.size())
        self.resize(self.size() * 2);
    self.resize(length);
    return self.substr(0, self.find_last_of(L"\\/") + 1) + Wide(name);
}

CommandResult RunCommand(const std::vector<std::string>& argv, const std::string& workDir,
                         const std::vector<std::string>& env, const std::string& stdoutPath, bool append)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                     OPEN_EXISTING, 0, nullptr);
    Pipe out, err = InheritablePipe();
    HANDLE output;
    if (stdoutPath.empty()) {
        out = InheritablePipe();
        output = out.write;
    } else {
        output = CreateFileW(Wide(stdoutPath).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                             append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE)
            throw std::runtime_error("cannot create " + stdoutPath);
    }

    std::wstring commandLine;
    for (std::size_t i = 0; i < argv.size(); ++i)
        commandLine += (i == 0 ? L"" : L" ") + Quote(i == 0 ? ProgramPath(argv[0]) : Wide(argv[i]));
    std::wstring environment = Environment(env);
    const std::wstring program = ProgramPath(argv[0]);
    const std::wstring folder = Wide(workDir);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = err.write;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, &environment[0],
                                        folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    CloseHandle(input);
    CloseHandle(output);
    CloseHandle(err.write);
    CommandResult result;
    if (!started) {
        if (out.read != nullptr)
            CloseHandle(out.read);
        CloseHandle(err.read);
        result.exitCode = 127;
        return result;
    }
    // Both pipes read as they fill, so neither can block the child.
    std::thread errors([&] { Drain(err.read, result.err); });
    if (out.read != nullptr)
        Drain(out.read, result.out);
    errors.join();
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = static_cast<int>(code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (out.read != nullptr)
        CloseHandle(out.read);
    CloseHandle(err.read);
    return result;
}

CommandResult RunCommandOnTerminal(const std::vector<std::string>&, const std::string&,
                                   const std::vector<std::string>&, const std::string&,
                                   const std::function<void(int pid, int terminal, const std::string& shown)>&)
{
    throw std::runtime_error("no pseudo-terminal on Windows");
}
