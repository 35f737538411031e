#include "standard_time_rule.h"

#include "civil_time.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr std::int64_t kLongestDaylightSaving = 366 * 86400;
// glibc's mktime, asked for standard time at a wall-clock time in daylight
// saving, looks for standard time this far before, then after, then twice as
// far before, and so on, and takes the offset it meets first.
constexpr std::int64_t kMktimeStride = 601200;

// The first instant of the daylight-saving stretch [from, to) whose look finds
// the standard time after it before the one before it.
std::int64_t NextStandardTimeFoundFirstFrom(std::int64_t from, std::int64_t to)
{
    const auto laterFoundFirst = [&](std::int64_t t) {
        const std::int64_t looksBefore = (t - from) / kMktimeStride + 1;
        const std::int64_t looksAfter = (to - t - 1) / kMktimeStride + 1;
        return looksBefore > looksAfter;
    };
    std::int64_t low = from, high = to;  // laterFoundFirst(high - 1) holds
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (laterFoundFirst(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

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
        // A wall-clock time that falls in it read in daylight saving takes the
        // neighbour mktime finds first (ToUtc); the others, at its edges, the
        // nearer neighbour.
        const std::int64_t to = stretches[i + 1].utc;
        m_daylightSaving.push_back({stretch.utc, to, stretch.offset, stretches[i - 1].offset, stretches[i + 1].offset,
                                    NextStandardTimeFoundFirstFrom(stretch.utc, to)});
        Append(m_standard, stretch.utc, stretches[i - 1].offset);
        Append(m_standard, stretch.utc + (to - stretch.utc) / 2, stretches[i + 1].offset);
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
    // Read in daylight saving, inside one of its stretches: as mktime does.
    const auto next = std::upper_bound(m_daylightSaving.begin(), m_daylightSaving.end(), civilSeconds,
                                       [](std::int64_t when, const DaylightSaving& stretch) { return when < stretch.from; });
    const std::size_t following = static_cast<std::size_t>(std::distance(m_daylightSaving.begin(), next));
    for (std::size_t k = following > 2 ? following - 2 : 0; k < std::min(following + 1, m_daylightSaving.size()); ++k) {
        const DaylightSaving& stretch = m_daylightSaving[k];
        const std::int64_t read = civilSeconds - stretch.offset;
        if (read >= stretch.from && read < stretch.to) {
            utc = civilSeconds - (read < stretch.handOver ? stretch.before : stretch.after);
            return true;
        }
    }
    if (m_standard.empty()) {
        utc = civilSeconds;
        return true;
    }
    // The wall-clock time belongs to an offset in force near it (read as UTC)
    // that is still in force at the wall-clock time minus that offset. None:
    // standard time skips it. Two: standard time repeats it (its offset fell),
    // and mktime takes the earlier instant.
    const auto at = std::upper_bound(m_standard.begin(), m_standard.end(), civilSeconds,
                                     [](std::int64_t when, const ZoneOffsetChange& step) { return when < step.utc; });
    const std::size_t index = static_cast<std::size_t>(std::distance(m_standard.begin(), at));
    bool found = false;
    for (std::size_t k = index > 2 ? index - 2 : 0; k < std::min(index + 2, m_standard.size()); ++k) {
        const std::int32_t offset = m_standard[k].offset;
        const std::int64_t candidate = civilSeconds - offset;
        if (StandardOffsetAt(candidate) == offset && (!found || candidate < utc)) {
            utc = candidate;
            found = true;
        }
    }
    return found;
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
