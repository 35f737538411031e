#pragma once

// The web edition's zone: the page finds the offsets of the chosen zone in the
// browser and hands them over before each conversion.

#include "standard_time_rule.h"

#include <vector>

void UseZoneOffsetChanges(const std::vector<ZoneOffsetChange>& changes);
