#include "output_path.h"

#include "path_parts.h"

std::string OutputPathFor(const std::string& inputPath)
{
    return FolderOf(inputPath) + BaseNameOf(inputPath) + ".pcap";
}
