#include "standard_time_rule.h"

#include "civil_time.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr std::int64_t kLongestDaylightSaving = 366 * 86400;

void Append(std::vector<ZoneOffsetChange>& steps, std::int64_t utc, std::int32_t offset)
{
    if (steps.empty() || steps.back().offset != offset)
        steps.push_back({utc, offset});
}

} // namespace

StandardTimeRule::StandardTimeRule(const std::vector<ZoneOffsetChange>& changes)
{
    // Stretches of one offset each.
    std::vector<ZoneOffsetChange> stretches;
    for (const ZoneOffsetChange& change : changes)
        Append(stretches, change.utc, change.offset);

    for (std::size_t i = 0; i < stretches.size(); ++i) {
        const ZoneOffsetChange& stretch = stretches[i];
        const bool daylightSaving = i > 0 && i + 1 < stretches.size() &&
                                    stretch.offset > stretches[i - 1].offset &&
                                    stretch.offset > stretches[i + 1].offset &&
                                    stretches[i + 1].utc - stretch.utc < kLongestDaylightSaving;
        if (!daylightSaving) {
            Append(m_standard, stretch.utc, stretch.offset);
            continue;
        }
        // Nearer neighbour's offset: mktime looks for the nearest standard time.
        const std::int64_t middle = stretch.utc + (stretches[i + 1].utc - stretch.utc) / 2;
        Append(m_standard, stretch.utc, stretches[i - 1].offset);
        Append(m_standard, middle, stretches[i + 1].offset);
    }
}

std::int32_t StandardTimeRule::StandardOffsetAt(std::int64_t utc) const
{
    if (m_standard.empty())
        return 0;
    const auto after = std::upper_bound(m_standard.begin(), m_standard.end(), utc,
                                        [](std::int64_t at, const ZoneOffsetChange& step) { return at < step.utc; });
    return after == m_standard.begin() ? m_standard.front().offset : std::prev(after)->offset;
}

bool StandardTimeRule::ToUtc(std::int64_t civilSeconds, std::int64_t& utc) const
{
    // The offset looked up at the wall-clock time read as UTC is right unless a
    // change lies between the two; then the offset at the first estimate is.
    const std::int32_t first = StandardOffsetAt(civilSeconds);
    const std::int32_t second = StandardOffsetAt(civilSeconds - first);
    if (second == first) {
        utc = civilSeconds - first;
        return true;
    }
    if (StandardOffsetAt(civilSeconds - second) == second) {
        utc = civilSeconds - second;
        return true;
    }
    return false;
}

bool StandardTimeRule::LocalToUtc(const LocalTime& local, std::int64_t& utc) const
{
    LocalTime minute = local;
    minute.second = std::min<std::int64_t>(std::max<std::int64_t>(local.second, 0), 59);
    if (!ToUtc(CivilSeconds(minute), utc))
        return false;
    utc += local.second - minute.second;
    return true;
}
