'use strict';
// A .zip of finished results, stored (not compressed), as a Blob made of the
// results themselves and the few headers between them: nothing is copied or
// read, so a zip of gigabytes streams from the browser's storage as it is
// saved. Zip64 records where a size or an offset passes 4 GiB - 1.

const kMax32 = 0xFFFFFFFF;

function dosTimeAndDate(date) {
  const time = (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1);
  const day = ((Math.max(1980, date.getFullYear()) - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate();
  return [time, day];
}

function littleEndian(fields) {
  const size = fields.reduce((sum, [bytes]) => sum + bytes, 0);
  const view = new DataView(new ArrayBuffer(size));
  let at = 0;
  for (const [bytes, value] of fields) {
    if (bytes === 2)
      view.setUint16(at, value, true);
    else if (bytes === 4)
      view.setUint32(at, value, true);
    else
      view.setBigUint64(at, BigInt(value), true);
    at += bytes;
  }
  return new Uint8Array(view.buffer);
}

// entries: [{ name, size, crc, blob }]; a Blob of the whole zip.
// `forceZip64` writes Zip64 records for every entry (for tests).
function zipBlob(entries, { forceZip64 = false, date = new Date() } = {}) {
  const encoder = new TextEncoder();
  const [time, day] = dosTimeAndDate(date);
  const parts = [], central = [];
  let offset = 0;
  for (const entry of entries) {
    const name = encoder.encode(entry.name);
    const large = forceZip64 || entry.size >= kMax32 || offset >= kMax32;
    const version = large ? 45 : 20;
    const local = littleEndian([
      [4, 0x04034b50], [2, version], [2, 0x0800], [2, 0], [2, time], [2, day], [4, entry.crc >>> 0],
      [4, large ? kMax32 : entry.size], [4, large ? kMax32 : entry.size], [2, name.length], [2, large ? 20 : 0],
    ]);
    const localExtra = large ? littleEndian([[2, 1], [2, 16], [8, entry.size], [8, entry.size]]) : new Uint8Array(0);
    parts.push(local, name, localExtra, entry.blob);
    const centralExtra = large ? littleEndian([[2, 1], [2, 24], [8, entry.size], [8, entry.size], [8, offset]])
      : new Uint8Array(0);
    central.push(littleEndian([
      [4, 0x02014b50], [2, (3 << 8) | 45], [2, version], [2, 0x0800], [2, 0], [2, time], [2, day],
      [4, entry.crc >>> 0], [4, large ? kMax32 : entry.size], [4, large ? kMax32 : entry.size], [2, name.length],
      [2, centralExtra.length], [2, 0], [2, 0], [2, 0], [4, 0o100644 * 65536], [4, large ? kMax32 : offset],
    ]), name, centralExtra);
    offset += local.length + name.length + localExtra.length + entry.size;
  }
  const centralSize = central.reduce((sum, part) => sum + part.length, 0);
  const large = forceZip64 || entries.length >= 0xFFFF || offset >= kMax32 || centralSize >= kMax32;
  const tail = [];
  if (large) {
    tail.push(littleEndian([
      [4, 0x06064b50], [8, 44], [2, 45], [2, 45], [4, 0], [4, 0], [8, entries.length], [8, entries.length],
      [8, centralSize], [8, offset],
    ]), littleEndian([[4, 0x07064b50], [4, 0], [8, offset + centralSize], [4, 1]]));
  }
  tail.push(littleEndian([
    [4, 0x06054b50], [2, 0], [2, 0], [2, large ? 0xFFFF : entries.length], [2, large ? 0xFFFF : entries.length],
    [4, large ? kMax32 : centralSize], [4, large ? kMax32 : offset], [2, 0],
  ]));
  return new Blob([...parts, ...central, ...tail], { type: 'application/zip' });
}
