#pragma once

// Realistic Ethernet frames for the capture generator: ARP, IPv4 UDP and TCP,
// IPv6 UDP and 802.1Q-tagged IPv4 (UDP and TCP), built straight into the
// output buffer. Every IPv4 header checksum and every UDP and TCP checksum is
// valid; TCP sequence numbers run on per flow. The hosts, flows and a pool of
// payload bytes are made once from the seed; each frame then copies a slice of
// the pool and patches a few header fields, so a frame costs little more than
// its memcpy.

#include "random.h"

#include <array>
#include <cstdint>
#include <vector>

namespace capgen {

constexpr unsigned kMinFrameLength = 60;    // Ethernet minimum without the FCS
constexpr unsigned kMaxFrameLength = 1514;  // Ethernet maximum without the FCS

// The kinds of frame, in the order of FrameMix::weight.
enum FrameKind { kArp, kUdp4, kTcp4, kUdp6, kVlan4, kFrameKindCount };

// Relative weights of the frame kinds. A kind that cannot carry a drawn length
// is left out for that frame (ARP only fills 60-byte frames; IPv6 UDP needs at
// least 62 bytes); if no kind with a weight can, the frame is IPv4 UDP.
struct FrameMix {
    std::array<std::uint32_t, kFrameKindCount> weight = {2, 25, 60, 8, 5};
};

// Names used on the command line, indexed by FrameKind.
extern const char* const kFrameKindNames[kFrameKindCount];

// The frame-length distribution: a realistic mix of LAN traffic (many 60- and
// 66-byte acknowledgements, small requests, full 1514-byte segments), with any
// draw outside [min, max] replaced by a uniform draw in [min, max].
class LengthDistribution {
public:
    LengthDistribution(unsigned minLength, unsigned maxLength);

    unsigned Draw(Rng& rng) const
    {
        const std::uint32_t r = static_cast<std::uint32_t>(rng.Next() >> 32);
        std::size_t i = 0;
        while (r >= m_buckets[i].threshold && i + 1 < m_buckets.size())
            ++i;
        const Bucket& b = m_buckets[i];
        return b.low == b.high ? b.low : rng.Between(b.low, b.high);
    }

    // Probability of each length, for expectations (index = length).
    std::vector<double> Probabilities() const;
    unsigned Min() const { return m_min; }
    unsigned Max() const { return m_max; }

private:
    struct Bucket {
        unsigned low, high;
        double probability;
        std::uint32_t threshold;  // cumulative, scaled to 2^32
    };
    unsigned m_min, m_max;
    std::vector<Bucket> m_buckets;
};

class FrameFactory {
public:
    FrameFactory(std::uint64_t seed, const FrameMix& mix);

    // Writes one frame of exactly `length` bytes (kMinFrameLength..kMaxFrameLength) at `out`.
    void Build(std::uint8_t* out, unsigned length, Rng& rng);

    // How many frames of each kind were built.
    const std::array<std::uint64_t, kFrameKindCount>& Counts() const { return m_counts; }

private:
    struct Host {
        std::uint8_t mac[6];     // for remote hosts: the router's
        std::uint8_t ip4[4];
        std::uint8_t ip6[16];
        std::uint8_t ttl;        // as the frame is seen on our segment
    };
    struct Flow {
        std::uint16_t a, b;        // host indices; a is the local side
        std::uint16_t portA, portB;
        std::uint16_t vlan;        // 802.1Q TCI, 0 for untagged flows
        bool tcp;
        bool timestamps;           // TCP: 32-byte header with the timestamp option
        std::uint16_t ipId[2];
        std::uint32_t seq[2];
        std::uint32_t tsval[2];
    };

    FrameKind ChooseKind(unsigned length, Rng& rng) const;
    void BuildArp(std::uint8_t* out, unsigned length, Rng& rng);
    void BuildIp4(std::uint8_t* out, unsigned length, Flow& flow, bool tagged, Rng& rng);
    void BuildUdp6(std::uint8_t* out, unsigned length, Flow& flow, Rng& rng);
    // Copies `count` pool bytes to `out`; returns their one's-complement word sum.
    std::uint64_t Payload(std::uint8_t* out, unsigned count, Rng& rng) const;

    std::vector<Host> m_hosts;
    std::vector<Flow> m_tcp4, m_udp4, m_udp6, m_vlan;
    std::uint16_t m_localCount = 0;
    // Cumulative kind weights for 60-byte frames, 61-byte frames and longer ones.
    std::array<std::array<std::uint32_t, kFrameKindCount>, 3> m_kindTable{};
    std::array<std::uint32_t, 3> m_kindTotal{};

    std::vector<std::uint8_t> m_pool;
    std::vector<std::uint64_t> m_poolPrefix;  // sums of the pool's big-endian 16-bit words
    std::array<std::uint64_t, kFrameKindCount> m_counts{};
};

} // namespace capgen
