// libFuzzer target: the whole conversion of one capture file, on arbitrary bytes.
// Each input is written to a capture file in a private folder and converted
// into the ".pcap" beside it; messages are checked for the shape every
// failure must have.

#include "convert_capture_file.h"
#include "write_error.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class CheckingHost : public MessageHost {
public:
    explicit CheckingHost(const std::string& input) : m_input(input) {}
    void ShowMessage(const std::string& text) override
    {
        // Exactly one message per failure, naming the file (or the output open error alone).
        if (++m_count > 1 || (text != "Write file Open error" && text.compare(0, m_input.size(), m_input) != 0))
            std::abort();
    }
    int Count() const { return m_count; }

private:
    std::string m_input;
    int m_count = 0;
};

const std::string& WorkFolder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/dt2pcap-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            std::abort();
        return std::string(made);
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = WorkFolder() + "/input.DT";
    FILE* file = std::fopen(input.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();

    CheckingHost host(input);
    int result;
    try {
        result = ConvertCaptureFile(input, host);
    } catch (const WriteError&) {
        std::abort();  // the work folder never fills up on small inputs
    }
    if ((result == 0) != (host.Count() == 0))
        std::abort();
    if (result == 0) {
        // A complete output is the global header plus whole records: never larger
        // than the entries it came from.
        FILE* out = std::fopen((WorkFolder() + "/input.pcap").c_str(), "rb");
        if (!out)
            std::abort();
        std::fseek(out, 0, SEEK_END);
        const long outSize = std::ftell(out);
        std::fclose(out);
        if (outSize < 24 || static_cast<std::size_t>(outSize) > 24 + size)
            std::abort();
    }
    return 0;
}
