#include "output_place.h"

#include "messages.h"
#include "output_path.h"

std::string OutputPlace::PathFor(const std::string& inputPath) const
{
    if (m_standardOutput)
        return message::kStandardOutput;
    return m_path.empty() ? OutputPathFor(inputPath) : m_path;
}
