'use strict';
// CRC-32 as zip computes it, eight bytes a step.

const kCrc32Tables = (() => {
  const tables = Array.from({ length: 8 }, () => new Int32Array(256));
  for (let i = 0; i < 256; ++i) {
    let crc = i;
    for (let bit = 0; bit < 8; ++bit)
      crc = (crc >>> 1) ^ (crc & 1 ? 0xEDB88320 : 0);
    tables[0][i] = crc;
  }
  for (let i = 0; i < 256; ++i)
    for (let k = 1; k < 8; ++k)
      tables[k][i] = (tables[k - 1][i] >>> 8) ^ tables[0][tables[k - 1][i] & 0xFF];
  return tables;
})();

// The CRC-32 of what came before (`crc`) followed by `bytes`, a Uint8Array.
function crc32(crc, bytes) {
  const [t0, t1, t2, t3, t4, t5, t6, t7] = kCrc32Tables;
  let c = ~crc;
  const n = bytes.length;
  let i = 0;
  for (; i + 8 <= n; i += 8) {
    const low = c ^ (bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | bytes[i + 3] << 24);
    c = t7[low & 0xFF] ^ t6[(low >>> 8) & 0xFF] ^ t5[(low >>> 16) & 0xFF] ^ t4[low >>> 24] ^
      t3[bytes[i + 4]] ^ t2[bytes[i + 5]] ^ t1[bytes[i + 6]] ^ t0[bytes[i + 7]];
  }
  for (; i < n; ++i)
    c = t0[(c ^ bytes[i]) & 0xFF] ^ (c >>> 8);
  return ~c >>> 0;
}
