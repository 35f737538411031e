#pragma once

// The web edition's zone: the worker gives the chosen zone's offset at any
// instant, from the browser's zone data, before each conversion.

#include "zone_offset_scan.h"

void UseZone(const ZoneOffsetAt& offsetAt);
