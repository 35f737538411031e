// Reading a pcap back through libpcap, not through our own code.

#include "pcap_expect.h"

#include <pcap/pcap.h>

PcapContents ReadPcap(const std::string& path)
{
    PcapContents contents;
    char errorText[PCAP_ERRBUF_SIZE] = "";
    pcap_t* pcap = pcap_open_offline_with_tstamp_precision(path.c_str(), PCAP_TSTAMP_PRECISION_MICRO, errorText);
    if (!pcap) {
        contents.error = errorText;
        return contents;
    }
    contents.linkType = pcap_datalink(pcap);
    contents.snapshotLength = pcap_snapshot(pcap);
    contents.versionMajor = pcap_major_version(pcap);
    contents.versionMinor = pcap_minor_version(pcap);
    struct pcap_pkthdr* header;
    const u_char* data;
    int status;
    while ((status = pcap_next_ex(pcap, &header, &data)) == 1) {
        contents.records.push_back({static_cast<std::uint32_t>(header->ts.tv_sec),
                                    static_cast<std::uint32_t>(header->ts.tv_usec), header->caplen, header->len,
                                    Bytes(data, data + header->caplen)});
    }
    if (status != PCAP_ERROR_BREAK)
        contents.error = pcap_geterr(pcap);
    pcap_close(pcap);
    return contents;
}
