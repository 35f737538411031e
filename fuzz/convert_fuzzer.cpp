// libFuzzer target: the whole conversion of one capture file, on arbitrary bytes.
// Each input is written to a capture file in a private folder and converted
// into the ".pcap" beside it; messages are checked for the shape every
// failure must have, and whatever output is left must be whole records only,
// with nothing else left in the folder.

#include "convert_capture_file.h"
#include "messages.h"
#include "write_error.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class CheckingHost : public MessageHost {
public:
    explicit CheckingHost(const std::string& input) : m_input(input) {}
    void ShowMessage(const std::string& text) override
    {
        // Exactly one message per failure, naming the file (or the output open error and its detail).
        static const std::string kOpenError = std::string(message::kWriteFileOpenError) + "\n";
        if (++m_count > 1 ||
            (text.compare(0, kOpenError.size(), kOpenError) != 0 && text.compare(0, m_input.size(), m_input) != 0))
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

std::vector<std::uint8_t> ReadAll(const std::string& path, bool& exists)
{
    std::vector<std::uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    exists = file != nullptr;
    if (!file)
        return bytes;
    std::uint8_t block[4096];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;)
        bytes.insert(bytes.end(), block, block + got);
    std::fclose(file);
    return bytes;
}

// The global header, then records whose lengths are equal, at most 2047, and
// whose frames end exactly where the next record or the file begins.
bool IsWholeRecords(const std::vector<std::uint8_t>& pcap)
{
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(pcap[at]) | static_cast<std::uint32_t>(pcap[at + 1]) << 8 |
               static_cast<std::uint32_t>(pcap[at + 2]) << 16 | static_cast<std::uint32_t>(pcap[at + 3]) << 24;
    };
    if (pcap.size() < 24 || u32(0) != 0xA1B2C3D4)
        return false;
    std::size_t at = 24;
    while (at < pcap.size()) {
        if (pcap.size() - at < 16 || u32(at + 8) != u32(at + 12) || u32(at + 8) > 2047 ||
            pcap.size() - at - 16 < u32(at + 8))
            return false;
        at += 16 + u32(at + 8);
    }
    return true;
}

std::size_t FolderEntries(const std::string& folder)
{
    std::size_t count = 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            count += entry->d_name[0] != '.' || (entry->d_name[1] != '\0' && entry->d_name[1] != '.');
        ::closedir(dir);
    }
    return count;
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
    // A complete output, or one a walk failure left, is whole records and never
    // larger than the entries it came from; nothing else is left beside it.
    const std::string output = WorkFolder() + "/input.pcap";
    bool exists = false;
    const std::vector<std::uint8_t> pcap = ReadAll(output, exists);
    if ((result == 0 && !exists) || (exists && (!IsWholeRecords(pcap) || pcap.size() > 24 + size)))
        std::abort();
    if (FolderEntries(WorkFolder()) != (exists ? 2u : 1u))
        std::abort();
    std::remove(output.c_str());
    return 0;
}
