#include "batch_outputs.h"

#include "messages.h"
#include "output_path.h"

#include <unordered_map>

std::vector<std::size_t> EarlierSameOutput(const std::vector<std::string>& captures)
{
    std::vector<std::size_t> earlier(captures.size(), kNoEarlierOutput);
    std::unordered_map<std::string, std::size_t> firstByOutput;
    firstByOutput.reserve(captures.size());
    for (std::size_t i = 0; i < captures.size(); ++i) {
        const auto inserted = firstByOutput.emplace(OutputPathFor(captures[i]), i);
        if (!inserted.second)
            earlier[i] = inserted.first->second;
    }
    return earlier;
}

std::string SameOutputMessage(const std::string& outputPath, const std::string& earlier, const std::string& capture)
{
    return message::OutputRefused(outputPath,
                                  "already written from " + earlier + " in this batch, not replaced by " + capture);
}
