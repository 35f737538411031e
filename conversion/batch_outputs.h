#pragma once

// One output per batch (a window's selection, dt2pcap's files): captures whose
// names differ only in the case of their extension ("run.DT" and "run.dt" on
// a file system that tells them apart) would write the same ".pcap", the later
// one silently replacing what the earlier one wrote. The same capture named
// twice writes the same output again, which is no loss.

#include "message_host.h"

#include <string>
#include <unordered_map>

class BatchOutputs {
public:
    // Whether `capture` may write `outputPath`: not when another capture of
    // this batch wrote it. Then it shows, through `host`, "Write file Open
    // error" and a line naming the output and both captures as `host` names
    // them.
    bool MayWrite(const std::string& outputPath, const std::string& capture, MessageHost& host) const;
    // `capture` has written `outputPath`.
    void Wrote(const std::string& outputPath, const std::string& capture);

private:
    std::unordered_map<std::string, std::string> m_writtenFrom;
};
