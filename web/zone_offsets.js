'use strict';
// The offsets a time zone had from 1960 to 2040 and the instants they changed,
// as this browser's Intl knows them: [{utc, offset}] in seconds, offset east of
// UTC. The conversion derives the zone's standard time from them.

const kScanStart = -315619200; // 1960-01-01
const kScanEnd = 2208988800; // 2040-01-01
const kStep = 3 * 86400; // shorter than any daylight-saving stretch (about a week)

function zoneOffsetReader(zone) {
  const format = new Intl.DateTimeFormat('en-US', {
    timeZone: zone, hourCycle: 'h23', year: 'numeric', month: 'numeric', day: 'numeric',
    hour: 'numeric', minute: 'numeric', second: 'numeric',
  });
  return (utc) => {
    const fields = {};
    for (const part of format.formatToParts(new Date(utc * 1000)))
      fields[part.type] = Number(part.value);
    const wall = Date.UTC(fields.year, fields.month - 1, fields.day, fields.hour, fields.minute, fields.second) / 1000;
    return wall - utc;
  };
}

function zoneOffsetChanges(zone) {
  const offsetAt = zoneOffsetReader(zone);
  let last = offsetAt(kScanStart);
  const changes = [{ utc: kScanStart, offset: last }];
  for (let at = kScanStart + kStep; at < kScanEnd; at += kStep) {
    const offset = offsetAt(at);
    if (offset === last)
      continue;
    let before = at - kStep, after = at;
    while (after - before > 1) {
      const middle = before + Math.floor((after - before) / 2);
      if (offsetAt(middle) === last)
        before = middle;
      else
        after = middle;
    }
    changes.push({ utc: after, offset });
    last = offset;
  }
  return changes;
}
