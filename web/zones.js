'use strict';
// Time zones, shared by the page (the list it offers) and the worker (a
// zone's offset at an instant, which the converter samples to find the zone's
// standard time). A zone is an IANA name or a fixed offset "UTC+05:30".

// Names the browser's zone data may still give, and the ones in use today.
const kCurrentZoneNames = {
  'Asia/Calcutta': 'Asia/Kolkata', 'Europe/Kiev': 'Europe/Kyiv', 'Asia/Saigon': 'Asia/Ho_Chi_Minh',
  'Asia/Katmandu': 'Asia/Kathmandu', 'Asia/Rangoon': 'Asia/Yangon', 'America/Godthab': 'America/Nuuk',
  'Atlantic/Faeroe': 'Atlantic/Faroe', 'Pacific/Truk': 'Pacific/Chuuk', 'Pacific/Ponape': 'Pacific/Pohnpei',
  'Pacific/Enderbury': 'Pacific/Kanton', 'America/Buenos_Aires': 'America/Argentina/Buenos_Aires',
  'America/Catamarca': 'America/Argentina/Catamarca', 'America/Cordoba': 'America/Argentina/Cordoba',
  'America/Jujuy': 'America/Argentina/Jujuy', 'America/Mendoza': 'America/Argentina/Mendoza',
  'America/Indianapolis': 'America/Indiana/Indianapolis', 'America/Louisville': 'America/Kentucky/Louisville',
  'Asia/Dacca': 'Asia/Dhaka', 'Asia/Thimbu': 'Asia/Thimphu', 'Asia/Ujung_Pandang': 'Asia/Makassar',
  'Asia/Ulan_Bator': 'Asia/Ulaanbaatar', 'Asia/Chongqing': 'Asia/Shanghai', 'Asia/Harbin': 'Asia/Shanghai',
  'Atlantic/Jan_Mayen': 'Europe/Berlin', 'Europe/Uzhgorod': 'Europe/Kyiv', 'Europe/Zaporozhye': 'Europe/Kyiv',
  'Etc/UTC': 'UTC', 'Etc/GMT': 'UTC',
};

// Offsets whole and part hours away from UTC that clocks have kept.
const kFixedOffsetMinutes = [-720, -660, -600, -570, -540, -480, -420, -360, -300, -240, -210, -180, -120, -60,
  0, 60, 120, 180, 210, 240, 270, 300, 330, 345, 360, 390, 420, 480, 525, 540, 570, 600, 630, 660, 720, 765, 780, 840];

function currentZoneName(name) {
  return kCurrentZoneNames[name] || name;
}

function fixedOffsetName(minutes) {
  const size = Math.abs(minutes);
  return 'UTC' + (minutes < 0 ? '-' : '+') + String(Math.floor(size / 60)).padStart(2, '0') + ':' +
    String(size % 60).padStart(2, '0');
}

// Seconds east of UTC of a "UTC±hh:mm" zone, or null for any other name.
function fixedOffsetSeconds(zone) {
  const match = /^UTC([+-])(\d\d):(\d\d)$/.exec(zone);
  if (!match || Number(match[3]) >= 60)
    return null;
  return (match[1] === '-' ? -1 : 1) * (Number(match[2]) * 3600 + Number(match[3]) * 60);
}

function isKnownZone(zone) {
  if (fixedOffsetSeconds(zone) !== null)
    return true;
  try {
    new Intl.DateTimeFormat('en-US', { timeZone: zone });
    return true;
  } catch (error) {
    return false;
  }
}

// The zones offered: the browser's own first, then the IANA zones by current
// name, then the fixed offsets.
function zoneChoices() {
  const own = currentZoneName(Intl.DateTimeFormat().resolvedOptions().timeZone || 'UTC');
  const known = Intl.supportedValuesOf ? Intl.supportedValuesOf('timeZone').map(currentZoneName) : [];
  const names = new Set([own, ...known.filter(isKnownZone).sort(), 'UTC']);
  return { own, names: [...names, ...kFixedOffsetMinutes.map(fixedOffsetName)] };
}

// offsetAt(utcSeconds) -> seconds east of UTC in `zone`.
function zoneOffsetReader(zone) {
  const fixed = fixedOffsetSeconds(zone);
  if (fixed !== null)
    return () => fixed;
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
