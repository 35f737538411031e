#pragma once

#include <string>

// Where a conversion writes: beside its capture (the capture's name with
// ".pcap", see OutputPathFor), to a file of another name, or to the process's
// standard output as a plain stream.
class OutputPlace {
public:
    static OutputPlace BesideCapture() { return OutputPlace(std::string(), false); }
    static OutputPlace File(std::string path) { return OutputPlace(std::move(path), false); }
    static OutputPlace StandardOutput() { return OutputPlace(std::string(), true); }

    bool IsStandardOutput() const { return m_standardOutput; }
    // The output's path for `inputPath`, as messages name it ("standard
    // output" for the stream).
    std::string PathFor(const std::string& inputPath) const;

private:
    OutputPlace(std::string path, bool standardOutput) : m_path(std::move(path)), m_standardOutput(standardOutput) {}

    std::string m_path;  // empty: beside the capture
    bool m_standardOutput;
};
