// What both platforms share of the file helpers.

#include "test_files.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    if (!file)
        throw std::runtime_error("open failed: " + path);
    std::vector<std::uint8_t> bytes;
    char block[65536];
    while (file.read(block, sizeof block) || file.gcount() > 0)
        bytes.insert(bytes.end(), block, block + file.gcount());
    return bytes;
}
