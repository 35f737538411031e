#pragma once

// The built dt2pcap run in a scratch folder, and captures to give it.

#include "capture_builder.h"
#include "pcap_expect.h"
#include "run_command.h"
#include "test_files.h"

#include <gtest/gtest.h>

// `count` frames of 60 to 90 bytes, 1.5 s apart with a header-only entry after
// each, recorded from 2021-06-15 12:45:30 in 1 ms ticks.
inline CaptureBuilder SomeFrames(unsigned count)
{
    EntryLog log;
    for (unsigned i = 0; i < count; ++i) {
        Bytes data(60 + i % 31);
        for (std::size_t b = 0; b < data.size(); ++b)
            data[b] = static_cast<std::uint8_t>(b * 7 + i);
        log.Frame({data, i * 1500}).HeaderOnly(32);
    }
    DinfBody dinf;
    dinf.start = {0, 30, 45, 12, 15, 6, 2021};
    CaptureBuilder capture;
    capture.Dinf(dinf).Monl(log);
    return capture;
}

// A header one letter off: " File header error".
inline CaptureBuilder NotACapture()
{
    const char text[] = "TAVRINO DATE   ";
    return CaptureBuilder(false).Raw(Bytes(text, text + 16));
}

#ifdef FAULT_INJECTION_PATH
// `env` with the failing disk of fault_injection.cpp loaded; its variables
// (TPC_FAULT_...) say how it fails.
inline std::vector<std::string> WithFaults(std::vector<std::string> env)
{
    env.push_back(std::string("LD_PRELOAD=") + FAULT_INJECTION_PATH);
    // A sanitized dt2pcap would refuse a library loaded ahead of its runtime.
    env.push_back("ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0");
    return env;
}
#endif

class Dt2pcapTest : public ::testing::Test {
protected:
    // dt2pcap with `args`, run in the scratch folder in UTC unless `env` says otherwise.
    CommandResult Run(const std::vector<std::string>& args, const std::vector<std::string>& env = {"TZ=UTC"},
                      const std::string& stdoutPath = "", bool append = false)
    {
        return RunCommand(Argv({DT2PCAP_PATH}, args), dir.path(), env, stdoutPath, append);
    }
    // The same under a prlimit(1) limit such as "--fsize=150".
    CommandResult RunLimited(const std::string& limit, const std::vector<std::string>& args)
    {
        return RunCommand(Argv({"/usr/bin/prlimit", limit, DT2PCAP_PATH}, args), dir.path(), {"TZ=UTC"});
    }
    // The same on a pseudo-terminal; its output holds what the terminal showed.
    // An xterm unless `env` says otherwise.
    CommandResult RunOnTerminal(const std::vector<std::string>& args, const std::string& stdoutPath = "",
                                const std::function<void(int pid, int terminal, const std::string& shown)>& watch = {},
                                const std::vector<std::string>& env = {"TZ=UTC", "TERM=xterm"})
    {
        return RunCommandOnTerminal(Argv({DT2PCAP_PATH}, args), dir.path(), env, stdoutPath, watch);
    }

    // The records libpcap reads from `name` in the scratch folder.
    std::vector<PcapRecord> Records(const std::string& name)
    {
        PcapContents pcap = ReadPcap(dir / name);
        EXPECT_EQ(pcap.error, "") << name;
        return std::move(pcap.records);
    }
    std::size_t RecordCount(const std::string& name) { return Records(name).size(); }

    TempDir dir;

private:
    static std::vector<std::string> Argv(std::vector<std::string> head, const std::vector<std::string>& args)
    {
        head.insert(head.end(), args.begin(), args.end());
        return head;
    }
};
