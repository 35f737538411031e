#include "output_path.h"

#include "file_layer.h"

std::string OutputPathFor(const std::string& inputPath)
{
    const std::size_t slash = inputPath.find_last_of(file_layer::kPathSeparators);
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = inputPath.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return inputPath + ".pcap";
    return inputPath.substr(0, dot) + ".pcap";
}
