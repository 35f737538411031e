#include "frames.h"

#include <algorithm>
#include <cstring>

namespace capgen {

const char* const kFrameKindNames[kFrameKindCount] = {"arp", "udp", "tcp", "ipv6", "vlan"};

namespace {

// --- Frame lengths -----------------------------------------------------------

struct MixBucket {
    unsigned low, high;
    unsigned weight;  // per mille
};

// What a busy office LAN looks like: a third of all frames are bare 60-byte
// acknowledgements or ARP, 66-byte acknowledgements with TCP timestamps, small
// requests, some mid-sized datagrams, and a fifth full-sized 1514-byte segments.
constexpr MixBucket kRealisticMix[] = {
    {60, 60, 300},     {66, 66, 100},     {61, 127, 120},    {128, 575, 110},
    {576, 1023, 70},   {1024, 1513, 80},  {1514, 1514, 220},
};

// --- Byte helpers ------------------------------------------------------------

inline void Put16(std::uint8_t* p, unsigned v)
{
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
inline void Put32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

// One's-complement sum of big-endian 16-bit words (an odd last byte is the high half).
inline std::uint64_t WordSum(const std::uint8_t* p, unsigned count)
{
    std::uint64_t sum = 0;
    unsigned i = 0;
    for (; i + 1 < count; i += 2)
        sum += static_cast<unsigned>(p[i]) << 8 | p[i + 1];
    if (i < count)
        sum += static_cast<unsigned>(p[i]) << 8;
    return sum;
}

inline std::uint16_t FoldChecksum(std::uint64_t sum)
{
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum & 0xffff);
}

constexpr unsigned kEthernetHeader = 14;
constexpr unsigned kVlanTag = 4;
constexpr unsigned kIp4Header = 20;
constexpr unsigned kIp6Header = 40;
constexpr unsigned kUdpHeader = 8;
constexpr unsigned kTcpHeader = 20;
constexpr unsigned kTcpHeaderWithTimestamps = 32;
constexpr unsigned kMaxPayload = kMaxFrameLength - kEthernetHeader - kIp4Header - kUdpHeader;
constexpr unsigned kPoolSize = 64 * 1024 + kMaxPayload + 1;

// Host table layout.
constexpr std::uint16_t kRouter = 0;
constexpr std::uint16_t kLocalCount = 16;  // router + 15 stations: 192.168.10.0/24
constexpr std::uint16_t kFirstRemote = 16;
constexpr std::uint16_t kRemoteCount = 16;  // documentation nets, reached through the router
constexpr std::uint16_t kMdns4 = 32, kSsdp4 = 33, kBroadcast4 = 34, kMdns6 = 35;
constexpr std::uint16_t kFirstVlanHost = 36;
constexpr std::uint16_t kVlanIds[] = {10, 20, 30, 100};
constexpr std::uint16_t kHostsPerVlan = 6;  // gateway + 5 stations: 10.VID.0.0/24

bool IsGroup(std::uint16_t host) { return host >= kMdns4 && host <= kMdns6; }

constexpr std::uint8_t kOuis[][3] = {
    {0x00, 0x1b, 0x21}, {0x3c, 0xfd, 0xfe}, {0xf4, 0x8e, 0x38}, {0x00, 0x50, 0x56},
    {0xb8, 0x27, 0xeb}, {0x00, 0x0c, 0x29}, {0xa4, 0x83, 0xe7}, {0x98, 0x90, 0x96},
};

} // namespace

// --- LengthDistribution ----------------------------------------------------------

LengthDistribution::LengthDistribution(unsigned minLength, unsigned maxLength) : m_min(minLength), m_max(maxLength)
{
    double outside = 0;
    for (const MixBucket& b : kRealisticMix) {
        const double p = b.weight / 1000.0;
        const unsigned low = std::max(b.low, minLength), high = std::min(b.high, maxLength);
        const unsigned span = b.high - b.low + 1;
        if (low > high) {
            outside += p;
            continue;
        }
        const double inside = p * (high - low + 1) / span;
        outside += p - inside;
        m_buckets.push_back({low, high, inside, 0});
    }
    if (outside > 1e-12)
        m_buckets.push_back({minLength, maxLength, outside, 0});
    double cumulative = 0;
    for (Bucket& b : m_buckets) {
        cumulative += b.probability;
        const double scaled = cumulative * 4294967296.0;
        b.threshold = scaled >= 4294967295.0 ? 0xffffffffu : static_cast<std::uint32_t>(scaled);
    }
    m_buckets.back().threshold = 0xffffffffu;
}

std::vector<double> LengthDistribution::Probabilities() const
{
    std::vector<double> p(m_max + 1, 0.0);
    for (const Bucket& b : m_buckets)
        for (unsigned length = b.low; length <= b.high; ++length)
            p[length] += b.probability / (b.high - b.low + 1);
    return p;
}

// --- FrameFactory ----------------------------------------------------------------

FrameFactory::FrameFactory(std::uint64_t seed, const FrameMix& mix)
{
    Rng rng(MixSeed(seed, 1));

    auto makeMac = [&](std::uint8_t* mac) {
        const auto& oui = kOuis[rng.Below(sizeof kOuis / sizeof kOuis[0])];
        std::memcpy(mac, oui, 3);
        const std::uint64_t r = rng.Next();
        mac[3] = static_cast<std::uint8_t>(r);
        mac[4] = static_cast<std::uint8_t>(r >> 8);
        mac[5] = static_cast<std::uint8_t>(r >> 16);
    };
    auto makeIp6 = [](std::uint8_t* ip6, std::uint16_t net, std::uint16_t subnet, std::uint32_t low) {
        std::memset(ip6, 0, 16);
        Put16(ip6, 0x2001);
        Put16(ip6 + 2, 0x0db8);
        Put16(ip6 + 4, net);
        Put16(ip6 + 6, subnet);
        Put32(ip6 + 12, low);
    };

    // Local segment: the router and 15 stations.
    for (std::uint16_t i = 0; i < kLocalCount; ++i) {
        Host h{};
        makeMac(h.mac);
        const std::uint8_t last = static_cast<std::uint8_t>(i == kRouter ? 1 : 20 + i * 3 + rng.Below(3));
        const std::uint8_t ip4[4] = {192, 168, 10, last};
        std::memcpy(h.ip4, ip4, 4);
        makeIp6(h.ip6, 0x0010, 0, i == kRouter ? 1 : static_cast<std::uint32_t>(rng.Next()));
        h.ttl = (i == kRouter || rng.Below(3) != 0) ? 64 : 128;
        m_hosts.push_back(h);
    }
    // Remote servers, seen through the router.
    static const std::uint8_t kNets[][3] = {{198, 51, 100}, {203, 0, 113}, {192, 0, 2}};
    for (std::uint16_t i = 0; i < kRemoteCount; ++i) {
        Host h{};
        std::memcpy(h.mac, m_hosts[kRouter].mac, 6);
        std::memcpy(h.ip4, kNets[i % 3], 3);
        h.ip4[3] = static_cast<std::uint8_t>(1 + rng.Below(254));
        makeIp6(h.ip6, 0x0f00, static_cast<std::uint16_t>(i), static_cast<std::uint32_t>(rng.Next()));
        h.ttl = static_cast<std::uint8_t>((rng.Below(2) ? 64 : 128) - 4 - rng.Below(16));
        m_hosts.push_back(h);
    }
    // Multicast groups and the broadcast address.
    {
        Host mdns4{{0x01, 0x00, 0x5e, 0x00, 0x00, 0xfb}, {224, 0, 0, 251}, {}, 255};
        Host ssdp4{{0x01, 0x00, 0x5e, 0x7f, 0xff, 0xfa}, {239, 255, 255, 250}, {}, 4};
        Host bcast{{0xff, 0xff, 0xff, 0xff, 0xff, 0xff}, {192, 168, 10, 255}, {}, 64};
        Host mdns6{{0x33, 0x33, 0x00, 0x00, 0x00, 0xfb}, {}, {0xff, 0x02}, 255};
        mdns6.ip6[15] = 0xfb;
        m_hosts.push_back(mdns4);
        m_hosts.push_back(ssdp4);
        m_hosts.push_back(bcast);
        m_hosts.push_back(mdns6);
    }
    // A trunk's VLANs, each with a gateway and five stations.
    for (std::uint16_t vid : kVlanIds) {
        for (std::uint16_t i = 0; i < kHostsPerVlan; ++i) {
            Host h{};
            makeMac(h.mac);
            const std::uint8_t ip4[4] = {10, static_cast<std::uint8_t>(vid), 0,
                                         static_cast<std::uint8_t>(i == 0 ? 1 : 10 + i)};
            std::memcpy(h.ip4, ip4, 4);
            makeIp6(h.ip6, vid, 0, i + 1u);
            h.ttl = i == 0 ? 255 : 64;
            m_hosts.push_back(h);
        }
    }
    m_localCount = kLocalCount;

    auto localStation = [&] { return static_cast<std::uint16_t>(1 + rng.Below(kLocalCount - 1)); };
    auto otherLocal = [&](std::uint16_t not_) {
        std::uint16_t h;
        do
            h = static_cast<std::uint16_t>(rng.Below(kLocalCount));
        while (h == not_);
        return h;
    };
    auto remote = [&] { return static_cast<std::uint16_t>(kFirstRemote + rng.Below(kRemoteCount)); };
    auto ephemeral = [&] { return static_cast<std::uint16_t>(49152 + rng.Below(16384)); };
    auto startFlow = [&](Flow& f) {
        f.ipId[0] = static_cast<std::uint16_t>(rng.Next());
        f.ipId[1] = static_cast<std::uint16_t>(rng.Next());
        f.seq[0] = static_cast<std::uint32_t>(rng.Next());
        f.seq[1] = static_cast<std::uint32_t>(rng.Next());
        f.tsval[0] = static_cast<std::uint32_t>(rng.Next());
        f.tsval[1] = static_cast<std::uint32_t>(rng.Next());
    };

    // IPv4 TCP: web and file traffic, mostly to remote servers.
    static const std::uint16_t kTcpPorts[] = {443, 443, 443, 443, 80, 22, 445, 3389, 8080, 993};
    for (int i = 0; i < 48; ++i) {
        Flow f{};
        f.tcp = true;
        f.a = localStation();
        f.b = rng.Below(10) < 7 ? remote() : otherLocal(f.a);
        f.portA = ephemeral();
        f.portB = kTcpPorts[rng.Below(sizeof kTcpPorts / sizeof kTcpPorts[0])];
        f.timestamps = rng.Below(3) != 0;
        startFlow(f);
        m_tcp4.push_back(f);
    }
    // IPv4 UDP: name service, time, syslog, discovery, media, QUIC.
    for (int i = 0; i < 32; ++i) {
        Flow f{};
        f.a = localStation();
        switch (i % 8) {
        case 0: f.b = kRouter; f.portA = ephemeral(); f.portB = 53; break;
        case 1: f.b = remote(); f.portA = 123; f.portB = 123; break;
        case 2: f.b = otherLocal(f.a); f.portA = ephemeral(); f.portB = 514; break;
        case 3: f.b = kMdns4; f.portA = 5353; f.portB = 5353; break;
        case 4: f.b = kSsdp4; f.portA = ephemeral(); f.portB = 1900; break;
        case 5: f.b = kBroadcast4; f.portA = 137; f.portB = 137; break;
        case 6: f.b = otherLocal(f.a); f.portA = static_cast<std::uint16_t>(16384 + 2 * rng.Below(8192)); f.portB = f.portA; break;
        default: f.b = remote(); f.portA = ephemeral(); f.portB = 443; break;
        }
        startFlow(f);
        m_udp4.push_back(f);
    }
    // IPv6 UDP: mDNS, name service, QUIC.
    for (int i = 0; i < 16; ++i) {
        Flow f{};
        f.a = localStation();
        switch (i % 4) {
        case 0: f.b = kMdns6; f.portA = 5353; f.portB = 5353; break;
        case 1: f.b = kRouter; f.portA = ephemeral(); f.portB = 53; break;
        case 2: f.b = otherLocal(f.a); f.portA = ephemeral(); f.portB = 5004; break;
        default: f.b = remote(); f.portA = ephemeral(); f.portB = 443; break;
        }
        startFlow(f);
        m_udp6.push_back(f);
    }
    // 802.1Q-tagged IPv4 on a trunk: TCP and UDP within each VLAN; VLAN 100 is voice (priority 5).
    for (int i = 0; i < 32; ++i) {
        Flow f{};
        const unsigned v = rng.Below(sizeof kVlanIds / sizeof kVlanIds[0]);
        const std::uint16_t base = static_cast<std::uint16_t>(kFirstVlanHost + v * kHostsPerVlan);
        f.a = static_cast<std::uint16_t>(base + 1 + rng.Below(kHostsPerVlan - 1));
        do
            f.b = static_cast<std::uint16_t>(base + rng.Below(kHostsPerVlan));
        while (f.b == f.a);
        f.vlan = static_cast<std::uint16_t>(kVlanIds[v] | (kVlanIds[v] == 100 ? 5u << 13 : 0u));
        f.tcp = kVlanIds[v] != 100 && rng.Below(10) < 6;
        f.portA = ephemeral();
        f.portB = f.tcp ? kTcpPorts[rng.Below(sizeof kTcpPorts / sizeof kTcpPorts[0])] : 5060 + 2 * rng.Below(4);
        f.timestamps = rng.Below(2) != 0;
        startFlow(f);
        m_vlan.push_back(f);
    }

    // Kinds that can carry a length: 60 bytes (no IPv6), 61 bytes (no ARP, no IPv6), longer (no ARP).
    for (int cls = 0; cls < 3; ++cls) {
        std::uint32_t total = 0;
        for (int k = 0; k < kFrameKindCount; ++k) {
            const bool fits = !(k == kArp && cls != 0) && !(k == kUdp6 && cls != 2);
            total += fits ? mix.weight[k] : 0;
            m_kindTable[cls][k] = total;
        }
        m_kindTotal[cls] = total;
    }

    // Payload pool (what encrypted traffic looks like) and its word sums.
    m_pool.resize(kPoolSize);
    for (std::size_t i = 0; i < m_pool.size(); i += 8) {
        const std::uint64_t r = rng.Next();
        for (std::size_t j = 0; j < 8 && i + j < m_pool.size(); ++j)
            m_pool[i + j] = static_cast<std::uint8_t>(r >> (8 * j));
    }
    m_poolPrefix.resize(m_pool.size() / 2 + 1);
    m_poolPrefix[0] = 0;
    for (std::size_t w = 0; w < m_pool.size() / 2; ++w)
        m_poolPrefix[w + 1] = m_poolPrefix[w] + (static_cast<unsigned>(m_pool[2 * w]) << 8 | m_pool[2 * w + 1]);
}

FrameKind FrameFactory::ChooseKind(unsigned length, Rng& rng) const
{
    const int cls = length == 60 ? 0 : length == 61 ? 1 : 2;
    const std::uint32_t total = m_kindTotal[cls];
    if (total == 0)
        return kUdp4;
    const std::uint32_t r = rng.Below(total);
    int k = 0;
    while (r >= m_kindTable[cls][k])
        ++k;
    return static_cast<FrameKind>(k);
}

std::uint64_t FrameFactory::Payload(std::uint8_t* out, unsigned count, Rng& rng) const
{
    const unsigned offset = 2 * rng.Below((kPoolSize - kMaxPayload) / 2);
    std::memcpy(out, m_pool.data() + offset, count);
    std::uint64_t sum = m_poolPrefix[offset / 2 + count / 2] - m_poolPrefix[offset / 2];
    if (count & 1)
        sum += static_cast<unsigned>(m_pool[offset + count - 1]) << 8;
    return sum;
}

void FrameFactory::Build(std::uint8_t* out, unsigned length, Rng& rng)
{
    const FrameKind kind = ChooseKind(length, rng);
    ++m_counts[kind];
    switch (kind) {
    case kArp:
        BuildArp(out, length, rng);
        break;
    case kUdp4:
        BuildIp4(out, length, m_udp4[rng.Below(static_cast<std::uint32_t>(m_udp4.size()))], false, rng);
        break;
    case kTcp4:
        BuildIp4(out, length, m_tcp4[rng.Below(static_cast<std::uint32_t>(m_tcp4.size()))], false, rng);
        break;
    case kUdp6:
        BuildUdp6(out, length, m_udp6[rng.Below(static_cast<std::uint32_t>(m_udp6.size()))], rng);
        break;
    default:
        BuildIp4(out, length, m_vlan[rng.Below(static_cast<std::uint32_t>(m_vlan.size()))], true, rng);
        break;
    }
}

void FrameFactory::BuildArp(std::uint8_t* out, unsigned length, Rng& rng)
{
    const std::uint16_t asker = static_cast<std::uint16_t>(rng.Below(m_localCount));
    std::uint16_t target;
    do
        target = static_cast<std::uint16_t>(rng.Below(m_localCount));
    while (target == asker);
    const Host& a = m_hosts[asker];
    const Host& t = m_hosts[target];
    const bool request = rng.Below(2) == 0;

    static const std::uint8_t kBroadcast[6] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
    std::memcpy(out, request ? kBroadcast : a.mac, 6);
    std::memcpy(out + 6, request ? a.mac : t.mac, 6);
    Put16(out + 12, 0x0806);
    std::uint8_t* arp = out + kEthernetHeader;
    Put16(arp, 1);        // Ethernet
    Put16(arp + 2, 0x0800);
    arp[4] = 6;
    arp[5] = 4;
    Put16(arp + 6, request ? 1 : 2);
    const Host& sender = request ? a : t;
    std::memcpy(arp + 8, sender.mac, 6);
    std::memcpy(arp + 14, sender.ip4, 4);
    if (request)
        std::memset(arp + 18, 0, 6);
    else
        std::memcpy(arp + 18, a.mac, 6);
    std::memcpy(arp + 24, request ? t.ip4 : a.ip4, 4);
    std::memset(arp + 28, 0, length - kEthernetHeader - 28);  // Ethernet padding
}

void FrameFactory::BuildIp4(std::uint8_t* out, unsigned length, Flow& flow, bool tagged, Rng& rng)
{
    const int dir = IsGroup(flow.b) ? 0 : static_cast<int>(rng.Below(2));
    const Host& src = m_hosts[dir ? flow.b : flow.a];
    const Host& dst = m_hosts[dir ? flow.a : flow.b];

    std::memcpy(out, dst.mac, 6);
    std::memcpy(out + 6, src.mac, 6);
    std::uint8_t* p = out + 12;
    if (tagged) {
        Put16(p, 0x8100);
        Put16(p + 2, flow.vlan);
        p += kVlanTag;
    }
    Put16(p, 0x0800);
    std::uint8_t* ip = p + 2;
    const unsigned room = length - static_cast<unsigned>(ip - out);  // bytes left for the IP packet
    std::uint8_t* l4 = ip + kIp4Header;

    unsigned ipLength;
    std::uint64_t sum;  // transport checksum so far, pseudo header excluded
    if (flow.tcp) {
        const unsigned tcpRoom = room - kIp4Header;
        const unsigned header = flow.timestamps && tcpRoom >= kTcpHeaderWithTimestamps ? kTcpHeaderWithTimestamps
                                                                                       : kTcpHeader;
        // A minimum-sized frame is a bare acknowledgement padded to 60 bytes.
        const unsigned payload = length == kMinFrameLength ? 0 : tcpRoom - header;
        const std::uint16_t srcPort = dir ? flow.portB : flow.portA;
        const std::uint16_t dstPort = dir ? flow.portA : flow.portB;
        Put16(l4, srcPort);
        Put16(l4 + 2, dstPort);
        Put32(l4 + 4, flow.seq[dir]);
        Put32(l4 + 8, flow.seq[dir ^ 1]);
        flow.seq[dir] += payload;
        l4[12] = static_cast<std::uint8_t>(header / 4 << 4);
        l4[13] = payload ? 0x18 : 0x10;  // PSH+ACK with data, else ACK
        Put16(l4 + 14, src.ttl == 128 ? 1026 : 502);
        Put16(l4 + 16, 0);
        Put16(l4 + 18, 0);
        if (header == kTcpHeaderWithTimestamps) {
            flow.tsval[dir] += 1 + rng.Below(8);
            l4[20] = 1;
            l4[21] = 1;
            l4[22] = 8;
            l4[23] = 10;
            Put32(l4 + 24, flow.tsval[dir]);
            Put32(l4 + 28, flow.tsval[dir ^ 1]);
        }
        sum = WordSum(l4, header) + Payload(l4 + header, payload, rng);
        ipLength = kIp4Header + header + payload;
        sum += 6 + (ipLength - kIp4Header);
    } else {
        const unsigned udpLength = room - kIp4Header;
        Put16(l4, dir ? flow.portB : flow.portA);
        Put16(l4 + 2, dir ? flow.portA : flow.portB);
        Put16(l4 + 4, udpLength);
        Put16(l4 + 6, 0);
        sum = WordSum(l4, kUdpHeader) + Payload(l4 + kUdpHeader, udpLength - kUdpHeader, rng);
        ipLength = room;
        sum += 17 + udpLength;
    }

    ip[0] = 0x45;
    ip[1] = 0;
    Put16(ip + 2, ipLength);
    Put16(ip + 4, flow.ipId[dir]++);
    Put16(ip + 6, IsGroup(flow.b) ? 0 : 0x4000);  // don't fragment, except to groups
    ip[8] = src.ttl;
    ip[9] = flow.tcp ? 6 : 17;
    Put16(ip + 10, 0);
    std::memcpy(ip + 12, src.ip4, 4);
    std::memcpy(ip + 16, dst.ip4, 4);
    Put16(ip + 10, FoldChecksum(WordSum(ip, kIp4Header)));

    sum += WordSum(ip + 12, 8);  // pseudo header addresses
    std::uint16_t checksum = FoldChecksum(sum);
    if (flow.tcp) {
        Put16(l4 + 16, checksum);
    } else {
        Put16(l4 + 6, checksum == 0 ? 0xffff : checksum);
    }
    std::memset(ip + ipLength, 0, room - ipLength);  // Ethernet padding
}

void FrameFactory::BuildUdp6(std::uint8_t* out, unsigned length, Flow& flow, Rng& rng)
{
    const bool group = IsGroup(flow.b);
    const int dir = group ? 0 : static_cast<int>(rng.Below(2));
    const Host& src = m_hosts[dir ? flow.b : flow.a];
    const Host& dst = m_hosts[dir ? flow.a : flow.b];

    std::memcpy(out, dst.mac, 6);
    std::memcpy(out + 6, src.mac, 6);
    Put16(out + 12, 0x86dd);
    std::uint8_t* ip = out + kEthernetHeader;
    const unsigned udpLength = length - kEthernetHeader - kIp6Header;
    const std::uint32_t flowLabel = (flow.portA * 2654435761u ^ flow.a) & 0xfffff;
    Put32(ip, 6u << 28 | flowLabel);
    Put16(ip + 4, udpLength);
    ip[6] = 17;
    ip[7] = group ? 255 : src.ttl;
    std::memcpy(ip + 8, src.ip6, 16);
    std::memcpy(ip + 24, dst.ip6, 16);

    std::uint8_t* udp = ip + kIp6Header;
    Put16(udp, dir ? flow.portB : flow.portA);
    Put16(udp + 2, dir ? flow.portA : flow.portB);
    Put16(udp + 4, udpLength);
    Put16(udp + 6, 0);
    std::uint64_t sum = WordSum(udp, kUdpHeader) + Payload(udp + kUdpHeader, udpLength - kUdpHeader, rng);
    sum += WordSum(ip + 8, 32) + udpLength + 17;  // pseudo header
    const std::uint16_t checksum = FoldChecksum(sum);
    Put16(udp + 6, checksum == 0 ? 0xffff : checksum);
}

} // namespace capgen
