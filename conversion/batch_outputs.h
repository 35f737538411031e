#pragma once

// One output per batch (a window's selection, dt2pcap's files): captures whose
// names differ only in the case of their extension ("run.DT" and "run.dt" on
// a file system that tells them apart) would write the same ".pcap", the later
// one silently replacing what the earlier one wrote.

#include <cstddef>
#include <string>
#include <vector>

constexpr std::size_t kNoEarlierOutput = static_cast<std::size_t>(-1);

// For each capture of a window's batch (a folder's names, each listed once),
// in batch order: the index of the first earlier capture whose output has the
// same path, or kNoEarlierOutput.
std::vector<std::size_t> EarlierSameOutput(const std::vector<std::string>& captures);

// The failure of `capture` whose output `earlier` already wrote in this batch:
// "Write file Open error" and a line naming the output and both captures.
std::string SameOutputMessage(const std::string& outputPath, const std::string& earlier, const std::string& capture);
